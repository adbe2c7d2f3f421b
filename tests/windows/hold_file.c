/*
 * Holds a file open with no sharing at all, as the timetabler holds a table it has
 * opened for exclusive use, until a second file (the release file) appears. Prints
 * "abierto" once it holds the file. For scripts/test-windows.sh.
 *
 * Usage: hold_file FILE RELEASE_FILE
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        fwprintf(stderr, L"Uso: hold_file ARCHIVO ARCHIVO_DE_FIN\n");
        return 2;
    }
    HANDLE held
        = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (held == INVALID_HANDLE_VALUE) {
        fwprintf(stderr, L"No se puede abrir %ls (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    wprintf(L"abierto\n");
    fflush(stdout);
    for (int waited = 0; GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES && waited < 6000; ++waited)
        Sleep(100);
    CloseHandle(held);
    return 0;
}
