#include "support/task_scheduler_win32.h"

#include "support/system_message_win32.h"
#include "support/unique_handle_win32.h"

#include <windows.h>

#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

namespace {

template <typename Interface>
struct ComTraits {
    using Type = Interface*;
    static Type Empty() { return nullptr; }
    static bool Close(Type pointer)
    {
        pointer->Release();
        return true;
    }
};
template <typename Interface>
using Com = UniqueHandle<ComTraits<Interface>>;

struct BstrTraits {
    using Type = BSTR;
    static Type Empty() { return nullptr; }
    static bool Close(Type text)
    {
        SysFreeString(text);
        return true;
    }
};
using Bstr = UniqueHandle<BstrTraits>;

Bstr MakeBstr(const std::wstring& text)
{
    return Bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

std::string Reason(HRESULT result)
{
    // Most Task Scheduler failures are Win32 errors in an HRESULT.
    const std::string text = SystemMessage(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                                                       : static_cast<DWORD>(result));
    if (!text.empty()) return text;
    char code[32];
    wsprintfA(code, "fout 0x%08lX", static_cast<unsigned long>(result));
    return code;
}

// COM for the calling thread, for as long as one call takes; the program
// has it already, a test may not.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// The root folder of a connected Task Scheduler, or the reason there is none.
struct RootFolder {
    Com<ITaskFolder> folder;
    HRESULT result = S_OK;
};

RootFolder OpenRootFolder()
{
    RootFolder root;
    ITaskService* service = nullptr;
    // Windows XP has no class for the 2.0 interface.
    root.result = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                   reinterpret_cast<void**>(&service));
    if (FAILED(root.result)) return root;
    const Com<ITaskService> owned(service);
    const VARIANT empty{};
    root.result = service->Connect(empty, empty, empty, empty);
    if (FAILED(root.result)) return root;
    ITaskFolder* folder = nullptr;
    const Bstr path = MakeBstr(L"\\");
    root.result = service->GetFolder(path.Get(), &folder);
    if (SUCCEEDED(root.result)) root.folder = Com<ITaskFolder>(folder);
    return root;
}

Com<IRegisteredTask> FindTask(ITaskFolder& folder, const std::wstring& name)
{
    IRegisteredTask* task = nullptr;
    const Bstr bname = MakeBstr(name);
    if (FAILED(folder.GetTask(bname.Get(), &task))) return {};
    return Com<IRegisteredTask>(task);
}

HRESULT Register(ITaskFolder& folder, const std::wstring& name, const std::wstring& xml, LONG flags)
{
    const Bstr bname = MakeBstr(name);
    const Bstr bxml = MakeBstr(xml);
    const VARIANT empty{};
    VARIANT sddl{};
    sddl.vt = VT_BSTR;
    sddl.bstrVal = nullptr;
    IRegisteredTask* task = nullptr;
    // The principal in the XML decides: the user, with an interactive
    // token, so no password is asked or stored.
    const HRESULT result = folder.RegisterTask(bname.Get(), bxml.Get(), flags, empty, empty,
                                               TASK_LOGON_INTERACTIVE_TOKEN, sddl, &task);
    if (task) task->Release();
    return result;
}

// The task as it is stored can be read back: its definition parses.
bool Readable(ITaskFolder& folder, const std::wstring& name)
{
    const Com<IRegisteredTask> task = FindTask(folder, name);
    if (!task) return false;
    ITaskDefinition* definition = nullptr;
    if (FAILED(task.Get()->get_Definition(&definition))) return false;
    definition->Release();
    return true;
}

} // namespace

ScheduledTaskState ReadScheduledTask(const std::wstring& name)
{
    const ComScope com;
    ScheduledTaskState state;
    const RootFolder root = OpenRootFolder();
    if (!root.folder) return state;
    state.available = true;
    const Com<IRegisteredTask> task = FindTask(*root.folder.Get(), name);
    if (!task) return state;
    ITaskDefinition* definition = nullptr;
    if (FAILED(task.Get()->get_Definition(&definition))) return state;
    const Com<ITaskDefinition> ownedDefinition(definition);
    state.exists = true;
    ITaskSettings* settings = nullptr;
    if (SUCCEEDED(definition->get_Settings(&settings))) {
        const Com<ITaskSettings> owned(settings);
        VARIANT_BOOL wake = VARIANT_FALSE;
        if (SUCCEEDED(settings->get_WakeToRun(&wake))) state.wake = wake != VARIANT_FALSE;
    }
    IRegistrationInfo* info = nullptr;
    if (SUCCEEDED(definition->get_RegistrationInfo(&info))) {
        const Com<IRegistrationInfo> owned(info);
        BSTR source = nullptr;
        if (SUCCEEDED(info->get_Source(&source)) && source) {
            const Bstr ownedSource(source);
            state.source.assign(source, SysStringLen(source));
        }
    }
    return state;
}

std::optional<std::string> RegisterScheduledTask(const std::wstring& name, const std::wstring& xml)
{
    const ComScope com;
    const RootFolder root = OpenRootFolder();
    if (!root.folder) return Reason(root.result);
    ITaskFolder& folder = *root.folder.Get();
    // Replaced in place, so that the user never has no task. Where the
    // stored task is not whole afterwards (Wine keeps the old file's tail
    // behind a shorter definition), it is made anew.
    HRESULT result = Register(folder, name, xml, TASK_CREATE_OR_UPDATE);
    if (SUCCEEDED(result) && Readable(folder, name)) return std::nullopt;
    const Bstr bname = MakeBstr(name);
    folder.DeleteTask(bname.Get(), 0);
    result = Register(folder, name, xml, TASK_CREATE);
    if (FAILED(result)) return Reason(result);
    return std::nullopt;
}

std::optional<std::string> DeleteScheduledTask(const std::wstring& name)
{
    const ComScope com;
    const RootFolder root = OpenRootFolder();
    if (!root.folder) return Reason(root.result);
    const Bstr bname = MakeBstr(name);
    const HRESULT result = root.folder.Get()->DeleteTask(bname.Get(), 0);
    if (SUCCEEDED(result) || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) return std::nullopt;
    return Reason(result);
}

std::vector<std::wstring> ScheduledTaskNames()
{
    const ComScope com;
    std::vector<std::wstring> names;
    const RootFolder root = OpenRootFolder();
    if (!root.folder) return names;
    IRegisteredTaskCollection* collection = nullptr;
    if (FAILED(root.folder.Get()->GetTasks(TASK_ENUM_HIDDEN, &collection))) return names;
    const Com<IRegisteredTaskCollection> tasks(collection);
    LONG count = 0;
    if (FAILED(collection->get_Count(&count))) return names;
    // Items count from 1.
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index{};
        index.vt = VT_I4;
        index.lVal = i;
        IRegisteredTask* item = nullptr;
        if (FAILED(collection->get_Item(index, &item))) continue;
        const Com<IRegisteredTask> task(item);
        BSTR name = nullptr;
        if (FAILED(item->get_Name(&name)) || !name) continue;
        const Bstr ownedName(name);
        names.emplace_back(name, SysStringLen(name));
    }
    return names;
}

int DeleteScheduledTasksOf(const std::vector<std::wstring>& names, const std::wstring& program)
{
    const ComScope com;
    const RootFolder root = OpenRootFolder();
    if (!root.folder) return 0;
    int left = 0;
    for (const std::wstring& name : names) {
        const Com<IRegisteredTask> task = FindTask(*root.folder.Get(), name);
        if (!task) continue;
        ITaskDefinition* definition = nullptr;
        if (FAILED(task.Get()->get_Definition(&definition))) continue;
        const Com<ITaskDefinition> ownedDefinition(definition);
        IRegistrationInfo* info = nullptr;
        if (FAILED(definition->get_RegistrationInfo(&info))) continue;
        const Com<IRegistrationInfo> ownedInfo(info);
        BSTR source = nullptr;
        if (FAILED(info->get_Source(&source)) || !source) continue;
        const Bstr ownedSource(source);
        // Paths on Windows are the same whatever their letters' case.
        if (lstrcmpiW(source, program.c_str()) != 0) continue;
        const Bstr bname = MakeBstr(name);
        if (FAILED(root.folder.Get()->DeleteTask(bname.Get(), 0))) ++left;
    }
    return left;
}

std::wstring CurrentUserSid()
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    const TokenHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::string buffer(size, '\0');
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) return {};
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

std::wstring RunningProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
