/*
 * TransHoravoPlanif.exe for Wine: Horavent, a Windows program, starts
 * TransHoravoPlanif.exe from its own folder with two arguments, waits for it to
 * end and then reads Horavent.ini in that folder. Under Wine this small Windows
 * program stands in that place and starts the Linux TransHoravoPlanif instead.
 *
 * Why it is built this way (Wine 8): CreateProcess of a Linux program returns no
 * process handle, so nobody can wait on it, and an anonymous pipe given to it
 * arrives as /dev/null. A loopback socket does arrive: the Linux program gets one
 * end of a connected TCP pair as its standard output and error, and the other end
 * reads until end of file, which comes when the Linux program (and every process
 * it left holding that socket) has ended.
 *
 * The Linux program is the one beside this launcher (TransHoravoPlanif without
 * ".exe"), else the installed /usr/bin/TransHoravoPlanif. It gets the arguments
 * exactly as this launcher got them, and this launcher's folder, as a Linux path,
 * in the environment variable TRANSHORAVO_CARPETA: there it writes Horavent.ini
 * and there it looks for the school's SENEMATERIAS.DBF. The arguments are not
 * touched, so the rule "exactly two arguments start a batch run" holds as it is.
 *
 * The Linux program's exit status does not travel back through the socket, so
 * this launcher ends with 0 once the Linux program has ended (Horavent reads the
 * outcome from Horavent.ini), and with 1 when it could not start it.
 *
 * On Windows itself the Windows build of TransHoravoPlanif.exe goes in this
 * launcher's place; the launcher says so and ends.
 */
#define WIN32_LEAN_AND_MEAN
#include <winsock2.h> /* before windows.h */

#include <windows.h>
#include <ws2tcpip.h>

#include <stdlib.h>
#include <wchar.h>

typedef char *(CDECL *UnixFileNameFunction)(LPCWSTR dosName);
typedef WCHAR *(CDECL *DosFileNameFunction)(LPCSTR unixName);

static const WCHAR kCaption[] = L"TransHoravoPlanif";
static const char kInstalledProgram[] = "/usr/bin/TransHoravoPlanif";

static void tell(const WCHAR *text)
{
    MessageBoxW(NULL, text, kCaption, MB_OK | MB_ICONERROR);
}

static FARPROC wineFunction(const char *name)
{
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : NULL;
}

static int isFile(const WCHAR *path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* The command line after the program's own name, as Windows splits it. */
static const WCHAR *argumentsAfterProgramName(const WCHAR *commandLine)
{
    const WCHAR *p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

/* Finds the Linux program as a path Wine maps. Fills `program` or returns 0. */
static int findLinuxProgram(const WCHAR *ownPath, WCHAR *program, size_t capacity)
{
    /* Beside this launcher: its own path without ".exe". */
    const size_t length = wcslen(ownPath);
    if (length > 4 && length < capacity && _wcsicmp(ownPath + length - 4, L".exe") == 0) {
        wcsncpy(program, ownPath, length - 4);
        program[length - 4] = 0;
        if (isFile(program))
            return 1;
    }
    /* Installed by the package. */
    DosFileNameFunction dosFileName = (DosFileNameFunction)(void (*)(void))wineFunction("wine_get_dos_file_name");
    WCHAR *installed = dosFileName ? dosFileName(kInstalledProgram) : NULL;
    int found = 0;
    if (installed && wcslen(installed) < capacity && isFile(installed)) {
        wcscpy(program, installed);
        found = 1;
    }
    if (installed)
        HeapFree(GetProcessHeap(), 0, installed);
    return found;
}

/* Tells the Linux program, as a Linux path, the folder it writes Horavent.ini in. */
static int passOwnFolder(const WCHAR *ownPath, UnixFileNameFunction unixFileName)
{
    WCHAR folder[MAX_PATH * 4];
    wcsncpy(folder, ownPath, sizeof folder / sizeof folder[0] - 1);
    folder[sizeof folder / sizeof folder[0] - 1] = 0;
    WCHAR *lastSeparator = wcsrchr(folder, L'\\');
    if (!lastSeparator)
        return 0;
    *lastSeparator = 0;
    if (wcslen(folder) == 2) /* "C:" is the drive's current folder; the root is meant */
        wcscat(folder, L"\\");

    char *unixFolder = unixFileName(folder);
    if (!unixFolder)
        return 0;
    WCHAR wideFolder[MAX_PATH * 4];
    const int converted = MultiByteToWideChar(CP_UTF8, 0, unixFolder, -1, wideFolder, MAX_PATH * 4);
    HeapFree(GetProcessHeap(), 0, unixFolder);
    return converted > 0 && SetEnvironmentVariableW(L"TRANSHORAVO_CARPETA", wideFolder);
}

/* A connected pair of loopback TCP sockets; the child's end is inheritable. */
static int socketPair(SOCKET *ours, SOCKET *childs)
{
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return 0;
    struct sockaddr_in address;
    ZeroMemory(&address, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int addressLength = sizeof address;
    *ours = INVALID_SOCKET;
    *childs = INVALID_SOCKET;
    if (bind(listener, (struct sockaddr *)&address, sizeof address) == 0
        && getsockname(listener, (struct sockaddr *)&address, &addressLength) == 0 && listen(listener, 1) == 0) {
        *childs = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (*childs != INVALID_SOCKET && connect(*childs, (struct sockaddr *)&address, sizeof address) == 0)
            *ours = accept(listener, NULL, NULL);
    }
    closesocket(listener);
    if (*ours == INVALID_SOCKET) {
        if (*childs != INVALID_SOCKET)
            closesocket(*childs);
        return 0;
    }
    SetHandleInformation((HANDLE)*ours, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation((HANDLE)*childs, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return 1;
}

/* Reads until the Linux program and its descendants have closed their end,
 * passing on what it wrote to this launcher's standard error, if it has one. */
static void waitForEnd(SOCKET ours)
{
    HANDLE errorOutput = GetStdHandle(STD_ERROR_HANDLE);
    char buffer[4096];
    int received;
    while ((received = recv(ours, buffer, sizeof buffer, 0)) > 0) {
        DWORD written;
        if (errorOutput && errorOutput != INVALID_HANDLE_VALUE)
            WriteFile(errorOutput, buffer, (DWORD)received, &written, NULL);
    }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR arguments, int show)
{
    (void)instance;
    (void)previous;
    (void)arguments;
    (void)show;

    UnixFileNameFunction unixFileName = (UnixFileNameFunction)(void (*)(void))wineFunction("wine_get_unix_file_name");
    if (!unixFileName) {
        tell(L"Este TransHoravoPlanif.exe solo sirve para usar TransHoravoPlanif de Linux desde Horavent "
             L"bajo Wine. En Windows, ponga en su lugar el programa TransHoravoPlanif.exe para Windows.");
        return 1;
    }

    WCHAR ownPath[MAX_PATH * 4];
    const DWORD ownLength = GetModuleFileNameW(NULL, ownPath, MAX_PATH * 4);
    if (ownLength == 0 || ownLength >= MAX_PATH * 4) {
        tell(L"No se puede saber en qué carpeta está TransHoravoPlanif.exe.");
        return 1;
    }

    WCHAR program[MAX_PATH * 4];
    if (!findLinuxProgram(ownPath, program, MAX_PATH * 4)) {
        tell(L"No se encuentra TransHoravoPlanif para Linux: no está junto a TransHoravoPlanif.exe ni "
             L"instalado en /usr/bin. Instale el paquete transhoravo o copie el programa TransHoravoPlanif "
             L"de Linux en la carpeta de Horavent.");
        return 1;
    }
    if (!passOwnFolder(ownPath, unixFileName)) {
        tell(L"No se puede pasar a TransHoravoPlanif la carpeta de Horavent.");
        return 1;
    }

    WSADATA winsock;
    SOCKET ours, childs;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0 || !socketPair(&ours, &childs)) {
        tell(L"No se puede preparar la espera de TransHoravoPlanif (conexión local).");
        return 1;
    }

    /* "program" arguments: the arguments exactly as this launcher received them. */
    const WCHAR *rest = argumentsAfterProgramName(GetCommandLineW());
    const size_t commandLength = wcslen(program) + wcslen(rest) + 4;
    WCHAR *commandLine = malloc(commandLength * sizeof(WCHAR));
    if (!commandLine)
        return 1;
    wcscpy(commandLine, L"\"");
    wcscat(commandLine, program);
    wcscat(commandLine, L"\" ");
    wcscat(commandLine, rest);

    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = NULL;
    startup.hStdOutput = (HANDLE)childs;
    startup.hStdError = (HANDLE)childs;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    const BOOL started
        = CreateProcessW(program, commandLine, NULL, NULL, TRUE, DETACHED_PROCESS, NULL, NULL, &startup, &process);
    free(commandLine);
    closesocket(childs); /* only the Linux program holds its end now */
    if (!started) {
        closesocket(ours);
        tell(L"No se puede iniciar TransHoravoPlanif para Linux.");
        return 1;
    }
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);

    waitForEnd(ours);
    closesocket(ours);
    WSACleanup();
    return 0;
}
