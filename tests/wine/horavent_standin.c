/*
 * A stand-in for Horavent's start of the converter, for the Wine test: like the
 * timetabler it resets Transformado in Horavent.ini in its own folder, starts
 * TransHoravoPlanif.exe from that folder with the two arguments it was given,
 * waits for it to end, and reads Transformado back with GetPrivateProfileInt.
 * It prints "Transformado=<value>" (-99 when the key is missing) and ends with 0,
 * or with 1 when it could not start TransHoravoPlanif.exe.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        fwprintf(stderr, L"Uso: horavent_standin <importar|exportar> <segundo argumento>\n");
        return 2;
    }
    wchar_t folder[MAX_PATH];
    const DWORD length = GetModuleFileNameW(NULL, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    *wcsrchr(folder, L'\\') = 0;

    wchar_t ini[MAX_PATH + 16], launcher[MAX_PATH + 32], commandLine[3 * MAX_PATH];
    swprintf(ini, MAX_PATH + 16, L"%ls\\Horavent.ini", folder);
    swprintf(launcher, MAX_PATH + 32, L"%ls\\TransHoravoPlanif.exe", folder);
    swprintf(commandLine, 3 * MAX_PATH, L"\"%ls\" %ls %ls", launcher, argv[1], argv[2]);

    WritePrivateProfileStringW(L"Transformadores", L"Transformado", L"0", ini);

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(launcher, commandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        fwprintf(stderr, L"No se puede iniciar %ls (error %lu)\n", launcher, GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD launcherExit = 0;
    GetExitCodeProcess(process.hProcess, &launcherExit);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const int value = (int)GetPrivateProfileIntW(L"Transformadores", L"Transformado", -99, ini);
    wprintf(L"Transformado=%d\nLanzador=%lu\n", value, launcherExit);
    return 0;
}
