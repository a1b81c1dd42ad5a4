#include "update/process_run_win32.h"

#include "support/unique_handle_win32.h"

namespace {

// The ping answers within a fraction of a second; an interpreter that does
// not end is given up rather than freezing the program's one thread.
constexpr DWORD InterpreterCommandWaitMs = 30'000;
// Both the interpreter's path and the whole line stay within the old path limit.
constexpr std::size_t CommandLineLimit = 260;
constexpr std::size_t ProcessLineLimit = 512;

// A job that ends every process in it when it is closed; empty when the
// system gives none.
JobHandle NewKillOnCloseJob()
{
    JobHandle job(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job && !SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return {};
    return job;
}

} // namespace

int RunProcessAndWait(const std::string& commandLine, int showWindow, DWORD waitMs)
{
    char line[ProcessLineLimit] = {};
    if (commandLine.size() >= sizeof line) return -1;
    commandLine.copy(line, commandLine.size());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    // The process and whatever it starts (the interpreter's ping) belong to
    // a job that ends them all when it is closed: a command given up after
    // waitMs leaves nothing running.
    const JobHandle job = NewKillOnCloseJob();
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &info))
        return -1;
    const ProcessHandle process(info.hProcess);
    const ThreadHandle thread(info.hThread);
    // A program that runs in a job itself may be refused a job of its own
    // on old Windows versions: then the command alone can be ended.
    const bool inJob = job && AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    if (WaitForSingleObject(process.Get(), waitMs) != WAIT_OBJECT_0) {
        if (inJob) TerminateJobObject(job.Get(), 1);
        else TerminateProcess(process.Get(), 1);
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

void RunInterpreterCommand(const std::string& command, bool hidden)
{
    char interpreter[CommandLineLimit + 1] = {};
    const DWORD length = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
    if (length == 0 || length >= sizeof interpreter) return;
    // The interpreter's path quoted, as it may hold blanks; /C takes the
    // command between its first and last quote as it is, quoted paths
    // inside it included. A cut line could run something else than meant
    // (a redirection to another file): it is not run at all.
    std::string line = "\"";
    line.append(interpreter, length).append("\" /C \"").append(command).append("\"");
    if (line.size() > CommandLineLimit) return;
    RunProcessAndWait(line, hidden ? SW_HIDE : SW_SHOWNORMAL, InterpreterCommandWaitMs);
}
