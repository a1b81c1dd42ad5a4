#include "update/terminate_form.h"

#include "support/system_message_win32.h"
#include "update/process_path_key.h"
#include "win/application.h"

#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

TTerminateForm* TerminateForm = nullptr;

namespace {

// Ending a process does not wait for it to go; a companion that lingers is
// waited for this long before the next search, which may end it again.
constexpr DWORD ProcessEndWaitMs = 3000;
// Rounds of search and end before giving up on processes that cannot be ended.
constexpr int MaxTerminateRounds = 16;

constexpr DWORD FindAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE;
constexpr DWORD EndAccess = PROCESS_TERMINATE | SYNCHRONIZE;

std::string SystemUpperCase(std::string_view text)
{
    std::string upper(text);
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

std::optional<std::string> KeyOf(std::string_view path) { return ProcessPathKey(path, SystemUpperCase); }

// The process-status functions come from PSAPI.dll, loaded by name so that
// the program starts where the library is missing; resolved on first use and
// kept for the program's life.
struct PsapiFunctions {
    using EnumProcessesFunction = BOOL(WINAPI*)(DWORD*, DWORD, DWORD*);
    using GetModuleFileNameExFunction = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

    EnumProcessesFunction enumProcesses = nullptr;
    GetModuleFileNameExFunction getModuleFileNameEx = nullptr;

    PsapiFunctions()
    {
        HMODULE library = LoadLibraryA("PSAPI.dll");
        if (!library) return;
        enumProcesses = reinterpret_cast<EnumProcessesFunction>(
            reinterpret_cast<void*>(GetProcAddress(library, "EnumProcesses")));
        getModuleFileNameEx = reinterpret_cast<GetModuleFileNameExFunction>(
            reinterpret_cast<void*>(GetProcAddress(library, "GetModuleFileNameExA")));
    }
};

const PsapiFunctions& Psapi()
{
    static const PsapiFunctions functions;
    return functions;
}

// The path of a process's executable, for processes of either word size;
// from Windows Vista on (looked up by name, for the systems before it).
using QueryFullProcessImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, DWORD*);

QueryFullProcessImageNameFunction QueryFullProcessImageName()
{
    static const auto function = reinterpret_cast<QueryFullProcessImageNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")));
    return function;
}

// The executable's path of an open process; empty when it cannot be read
// (system processes, those just ending).
std::string ProcessImagePath(HANDLE process, const PsapiFunctions& psapi)
{
    char path[MAX_PATH] = {};
    if (const auto query = QueryFullProcessImageName()) {
        DWORD length = MAX_PATH;
        return query(process, 0, path, &length) ? std::string(path, length) : std::string();
    }
    // Before Vista: the main module's file name, which can be read only from
    // processes of the caller's own word size (there were no others then).
    const DWORD length = psapi.getModuleFileNameEx ? psapi.getModuleFileNameEx(process, nullptr, path, MAX_PATH) : 0;
    return std::string(path, length);
}

// The Tool Help functions are looked up in kernel32.dll by name, as they are
// missing from the first NT versions.
struct ToolHelpFunctions {
    using CreateSnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
    using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

    CreateSnapshotFunction createSnapshot = nullptr;
    ProcessWalkFunction processFirst = nullptr;
    ProcessWalkFunction processNext = nullptr;

    ToolHelpFunctions()
    {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel) return;
        createSnapshot = reinterpret_cast<CreateSnapshotFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
        processFirst = reinterpret_cast<ProcessWalkFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Process32First")));
        processNext = reinterpret_cast<ProcessWalkFunction>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "Process32Next")));
    }
};

const ToolHelpFunctions& ToolHelp()
{
    static const ToolHelpFunctions functions;
    return functions;
}

[[noreturn]] void ThrowLastError(const char* operation)
{
    const DWORD code = GetLastError();
    throw std::runtime_error(std::string(operation) + " failed. System error " + std::to_string(code) + ": " +
                             SystemMessage(code));
}

// Every process id the system lists; the array grows while the list fills it.
std::vector<DWORD> ProcessIds(const PsapiFunctions& psapi)
{
    std::vector<DWORD> ids(1001);
    for (;;) {
        DWORD bytes = 0;
        const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
        if (!psapi.enumProcesses) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            ThrowLastError("EnumProcesses");
        }
        if (!psapi.enumProcesses(ids.data(), size, &bytes)) ThrowLastError("EnumProcesses");
        if (bytes < size) {
            ids.resize(bytes / sizeof(DWORD));
            return ids;
        }
        ids.assign(ids.size() * 2, 0);
    }
}

} // namespace

void TTerminateForm::Create()
{
    TerminateForm = this;
    CreateForm("KestromTerminateForm", "TerminateForm", 120, 40);
}

bool TTerminateForm::TerminateProcessesByPath(const std::string& path)
{
    for (int round = 0; round < MaxTerminateRounds; ++round) {
        const ProcessHandle process = FindProcessByPath(path);
        if (!process) return true;
        if (TerminateProcess(process.Get(), 0)) WaitForSingleObject(process.Get(), ProcessEndWaitMs);
        Application::ProcessMessages();
    }
    return !FindProcessByPath(path);
}

ProcessHandle TTerminateForm::FindProcessByPath(const std::string& path)
{
    return IsNTPlatform() ? FindProcessNT(path) : FindProcessToolHelp(path);
}

bool TTerminateForm::IsNTPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

ProcessHandle TTerminateForm::FindProcessNT(const std::string& path)
{
    const auto key = KeyOf(path);
    if (!key) return {};
    const PsapiFunctions& psapi = Psapi();
    const std::vector<DWORD> ids = ProcessIds(psapi);
    for (DWORD id : ids) {
        ProcessHandle process(OpenProcess(FindAccess, FALSE, id));
        if (!process) continue;
        // An unreadable path has no key and matches nothing.
        if (KeyOf(ProcessImagePath(process.Get(), psapi)) == key) return process;
    }
    return {};
}

ProcessHandle TTerminateForm::FindProcessToolHelp(const std::string& path)
{
    const auto key = KeyOf(path);
    const ToolHelpFunctions& toolHelp = ToolHelp();
    if (!key || !toolHelp.createSnapshot || !toolHelp.processFirst || !toolHelp.processNext) return {};
    const SnapshotHandle snapshot(toolHelp.createSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return {};
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = toolHelp.processFirst(snapshot.Get(), &entry); more;
         more = toolHelp.processNext(snapshot.Get(), &entry)) {
        if (KeyOf(entry.szExeFile) == key) return ProcessHandle(OpenProcess(EndAccess, TRUE, entry.th32ProcessID));
    }
    return {};
}
