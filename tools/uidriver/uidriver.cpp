// uidriver: drives another program's windows from outside, as a person
// would, for the end-to-end tests. It runs under Wine in the same
// wineserver (and so on the same desktop) as the program it drives.
//
// Usage: uidriver COMMAND ARGUMENTS [OPTIONS]; every result is one JSON
// object per line on stdout, every failure a message on stderr and exit
// code 1 (2 for a usage error). Run without arguments for the list.
//
// Texts are the windows' ANSI bytes; in the JSON each byte is one code point
// (U+0000 to U+00FF), so a reader that encodes the string as Latin-1 gets the
// bytes back exactly.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "usage: uidriver COMMAND ARGUMENTS [--timeout MS] [--pid PID] [--exe NAME] [--all]\n"
    "  WINDOW is a handle (0x...) or the exact caption of a top-level window;\n"
    "  a caption is waited for up to --timeout (default 10000 ms), visible\n"
    "  windows only unless --all, of process PID or of NAME.exe when given.\n"
    "commands:\n"
    "  wait WINDOW                 the window's record once it exists\n"
    "  wait-gone WINDOW            returns once the window is hidden or destroyed\n"
    "  windows                     the top-level windows (of --pid / --exe)\n"
    "  processes                   the running processes (of --exe)\n"
    "  terminate                   ends process --pid and waits up to --timeout\n"
    "  hold-file PATH [--read]     opens PATH shared with no one (with --read:\n"
    "                              read access, read sharing only), prints a\n"
    "                              line and keeps it open for --timeout ms\n"
    "  children WINDOW             every descendant control, depth first\n"
    "  rect WINDOW                 window rectangle and client rectangle\n"
    "  text WINDOW                 the full text of a window or control\n"
    "  click WINDOW [CAPTION]      clicks the window's button CAPTION, or the\n"
    "                              control WINDOW itself (posted: never blocks)\n"
    "  set-text WINDOW TEXT        sets an edit's text (WM_SETTEXT)\n"
    "  move WINDOW X Y WIDTH HEIGHT  '-' keeps a value; prints the rectangles\n"
    "  close WINDOW [--sc]         posts WM_CLOSE (WM_SYSCOMMAND SC_CLOSE with --sc)\n"
    "  key WINDOW KEY              posts enter, escape, tab, space, up, down,\n"
    "                              left or right to the window's focused control\n"
    "  screen                      screen size and density (pixels per inch)\n";

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  std::vector<std::string> positional;
  DWORD timeout = 10000;
  DWORD pid = 0;
  std::string exe;
  bool all = false;
  bool sysCommand = false;
  bool readOnly = false;
};

// A message to a window of another process must never hang the driver,
// whatever the program is doing; every such call goes through this.
const UINT messageTimeout = 10000;

std::string HandleText(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

class Record {
 public:
  Record& Text(const char* key, const std::string& value) {
    Key(key);
    body_ += '"';
    for (unsigned char c : value) {
      if (c == '"' || c == '\\') {
        body_ += '\\';
        body_ += static_cast<char>(c);
      } else if (c < 0x20 || c >= 0x7f) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
        body_ += escaped;
      } else {
        body_ += static_cast<char>(c);
      }
    }
    body_ += '"';
    return *this;
  }
  Record& Number(const char* key, long long value) {
    Key(key);
    body_ += std::to_string(value);
    return *this;
  }
  Record& Flag(const char* key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
  }
  Record& Rect(const char* key, const RECT& r) {
    Key(key);
    char text[64];
    std::snprintf(text, sizeof text, "[%ld, %ld, %ld, %ld]", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    body_ += text;
    return *this;
  }
  void Print() {
    std::printf("{%s}\n", body_.c_str());
    std::fflush(stdout);
  }

 private:
  void Key(const char* key) {
    if (!body_.empty()) body_ += ", ";
    body_ += '"';
    body_ += key;
    body_ += "\": ";
  }
  std::string body_;
};

std::string ClassName(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

// GetWindowText does not ask a control of another process for its text (an
// edit keeps its own buffer), so the text is fetched with WM_GETTEXT.
bool TryReadText(HWND window, std::string& text) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, messageTimeout, &length))
    return false;
  // The length may be an overestimate (it counts converted characters).
  std::vector<char> buffer(length + 2);
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, messageTimeout, &copied))
    return false;
  text.assign(buffer.data(), std::strlen(buffer.data()));
  return true;
}

std::string StoredText(HWND window) {
  std::vector<char> caption(GetWindowTextLengthA(window) + 2);
  GetWindowTextA(window, caption.data(), static_cast<int>(caption.size()));
  return caption.data();
}

// A top-level window's caption is kept by the system, so reading it cannot
// hang on a busy program; a control's text may live in the control alone.
std::string CaptionOf(HWND window) {
  std::string text;
  if (GetAncestor(window, GA_PARENT) == GetDesktopWindow() || !TryReadText(window, text)) return StoredText(window);
  return text;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::string BaseName(const char* path) {
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

std::vector<PROCESSENTRY32> Processes() {
  std::vector<PROCESSENTRY32> result;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot list the processes");
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    result.push_back(entry);
  CloseHandle(snapshot);
  return result;
}

bool IsExe(const PROCESSENTRY32& entry, const std::string& name) {
  return lstrcmpiA(BaseName(entry.szExeFile).c_str(), name.c_str()) == 0;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(const Options& options) {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::vector<DWORD> exePids;
  if (!options.exe.empty())
    for (const PROCESSENTRY32& entry : Processes())
      if (IsExe(entry, options.exe)) exePids.push_back(entry.th32ProcessID);
  std::vector<HWND> result;
  for (HWND window : windows) {
    DWORD pid = ProcessOf(window);
    if ((options.all || IsWindowVisible(window)) && (!options.pid || pid == options.pid) &&
        (options.exe.empty() || std::find(exePids.begin(), exePids.end(), pid) != exePids.end()))
      result.push_back(window);
  }
  return result;
}

bool IsHandleText(const std::string& which) {
  if (which.size() < 3 || which[0] != '0' || (which[1] != 'x' && which[1] != 'X')) return false;
  return which.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
}

HWND FindByCaption(const std::string& caption, const Options& options) {
  for (HWND window : TopLevelWindows(options))
    if (CaptionOf(window) == caption) return window;
  return nullptr;
}

HWND HandleOf(const std::string& handleText) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(handleText.c_str() + 2, nullptr, 16)));
}

HWND ResolveWindow(const std::string& which, const Options& options) {
  if (IsHandleText(which)) {
    HWND window = HandleOf(which);
    if (!IsWindow(window)) throw std::runtime_error("no window with handle " + which);
    return window;
  }
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindByCaption(which, options)) return window;
    if (GetTickCount() - start >= options.timeout)
      throw std::runtime_error("no window with the caption \"" + which + "\" after " +
                               std::to_string(options.timeout) + " ms");
    Sleep(50);
  }
}

// The check state of a check box or radio button; false for anything else.
bool IsChecked(HWND window) {
  DWORD_PTR state = 0;
  return lstrcmpiA(ClassName(window).c_str(), "Button") == 0 &&
         SendMessageTimeoutA(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, messageTimeout, &state) &&
         state == BST_CHECKED;
}

Record WindowRecord(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  Record record;
  record.Text("hwnd", HandleText(window))
      .Text("class", ClassName(window))
      .Text("text", CaptionOf(window))
      // A top-level window's identifier field holds its menu handle.
      .Number("id", GetAncestor(window, GA_PARENT) == GetDesktopWindow() ? 0 : GetDlgCtrlID(window))
      .Number("style", static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)))
      .Flag("visible", IsWindowVisible(window))
      .Flag("enabled", IsWindowEnabled(window))
      .Flag("checked", IsChecked(window))
      .Rect("rect", rect)
      .Number("pid", ProcessOf(window));
  return record;
}

void PrintChildren(HWND parent, int depth) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    WindowRecord(child).Text("parent", HandleText(parent)).Number("depth", depth).Print();
    PrintChildren(child, depth + 1);
  }
}

void PrintRects(HWND window) {
  RECT rect{}, client{};
  GetWindowRect(window, &rect);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  Record()
      .Text("hwnd", HandleText(window))
      .Rect("rect", rect)
      .Rect("client", client)
      .Number("width", rect.right - rect.left)
      .Number("height", rect.bottom - rect.top)
      .Number("client_width", client.right - client.left)
      .Number("client_height", client.bottom - client.top)
      .Print();
}

std::string WithoutMnemonics(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    result += text[i];
  }
  return result;
}

HWND FindButton(HWND parent, const std::string& caption) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string text = CaptionOf(child);
    if (text == caption || WithoutMnemonics(text) == caption) return child;
    if (HWND found = FindButton(child, caption)) return found;
  }
  return nullptr;
}

// Posted, never sent: the click may open a modal dialog whose loop does not
// return until someone (this driver, a moment later) answers it.
void Click(HWND control) {
  if (!IsWindowVisible(control) || !IsWindowEnabled(control))
    throw std::runtime_error("control " + HandleText(control) + " is hidden or disabled");
  if (lstrcmpiA(ClassName(control).c_str(), "Button") == 0) {
    if (!PostMessageA(control, BM_CLICK, 0, 0)) throw std::runtime_error("cannot post the click");
    return;
  }
  RECT client{};
  GetClientRect(control, &client);
  LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  if (!PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, centre) || !PostMessageA(control, WM_LBUTTONUP, 0, centre))
    throw std::runtime_error("cannot post the click");
}

bool IsSelfOrDescendant(HWND window, HWND ancestor) {
  for (; window; window = GetParent(window))
    if (window == ancestor) return true;
  return false;
}

UINT VirtualKey(const std::string& name) {
  static const struct {
    const char* name;
    UINT key;
  } keys[] = {{"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB}, {"space", VK_SPACE},
              {"up", VK_UP},        {"down", VK_DOWN},     {"left", VK_LEFT}, {"right", VK_RIGHT}};
  for (const auto& key : keys)
    if (lstrcmpiA(name.c_str(), key.name) == 0) return key.key;
  throw UsageError("unknown key \"" + name + "\"");
}

// A key goes where the keyboard would send it: the focused control of the
// window's thread, when that control belongs to the window.
void PostKey(HWND window, UINT key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
      IsSelfOrDescendant(info.hwndFocus, window))
    target = info.hwndFocus;
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16;
  if (!PostMessageA(target, WM_KEYDOWN, key, 1 | scan) ||
      !PostMessageA(target, WM_KEYUP, key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31)))
    throw std::runtime_error("cannot post the key");
}

int ParseCoordinate(const std::string& text, int current) {
  if (text == "-") return current;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end) throw UsageError("not a number: \"" + text + "\"");
  return static_cast<int>(value);
}

// Asynchronous so that a busy program cannot hang the driver; the empty
// message sent afterwards returns only when the move (and whatever the
// program's resize handler does with it) has been processed.
void MoveWindowTo(HWND window, const std::vector<std::string>& values) {
  RECT rect{};
  GetWindowRect(window, &rect);
  int x = ParseCoordinate(values[0], rect.left), y = ParseCoordinate(values[1], rect.top);
  int width = ParseCoordinate(values[2], rect.right - rect.left);
  int height = ParseCoordinate(values[3], rect.bottom - rect.top);
  if (!SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS))
    throw std::runtime_error("cannot move the window");
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, messageTimeout, &ignored))
    throw std::runtime_error("the window does not answer after the move");
}

void WaitGone(const std::string& which, const Options& options) {
  DWORD start = GetTickCount();
  // A handle that names no window any more is a window already gone.
  HWND handle = IsHandleText(which) ? HandleOf(which) : nullptr;
  for (;;) {
    bool gone = handle ? !IsWindow(handle) || !IsWindowVisible(handle) : !FindByCaption(which, options);
    if (gone) return;
    if (GetTickCount() - start >= options.timeout)
      throw std::runtime_error("window \"" + which + "\" still there after " + std::to_string(options.timeout) + " ms");
    Sleep(50);
  }
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 2; i < argc; ++i) {
    std::string argument = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw UsageError(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--timeout")
      options.timeout = static_cast<DWORD>(std::strtoul(value().c_str(), nullptr, 10));
    else if (argument == "--pid")
      options.pid = static_cast<DWORD>(std::strtoul(value().c_str(), nullptr, 10));
    else if (argument == "--exe")
      options.exe = value();
    else if (argument == "--all")
      options.all = true;
    else if (argument == "--sc")
      options.sysCommand = true;
    else if (argument == "--read")
      options.readOnly = true;
    else
      options.positional.push_back(argument);
  }
  return options;
}

// Another program's hold on a file: an editor's, sharing it with no one, or
// (readOnly) a spreadsheet's that shows it: read access, others may read it
// but not write, rename or delete it.
void HoldFile(const std::string& path, DWORD milliseconds, bool readOnly) {
  HANDLE file = readOnly ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                         : CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  Record().Text("held", path).Print();
  std::fflush(stdout);
  Sleep(milliseconds);
  CloseHandle(file);
}

// Ends the process the way Windows does, so its windows and handles are
// released in order before the next program starts.
void Terminate(const Options& options) {
  if (!options.pid) throw UsageError("terminate needs --pid");
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, options.pid);
  if (!process) return;  // Already gone.
  bool ended = TerminateProcess(process, 1) || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  ended = ended && WaitForSingleObject(process, options.timeout) == WAIT_OBJECT_0;
  CloseHandle(process);
  if (!ended) throw std::runtime_error("the process did not end");
}

void Expect(const Options& options, size_t minimum, size_t maximum) {
  size_t count = options.positional.size();
  if (count < minimum || count > maximum) throw UsageError("wrong number of arguments");
}

void Run(const std::string& command, const Options& options) {
  const std::vector<std::string>& args = options.positional;
  if (command == "wait") {
    Expect(options, 1, 1);
    WindowRecord(ResolveWindow(args[0], options)).Print();
  } else if (command == "wait-gone") {
    Expect(options, 1, 1);
    WaitGone(args[0], options);
  } else if (command == "windows") {
    Expect(options, 0, 0);
    for (HWND window : TopLevelWindows(options)) WindowRecord(window).Print();
  } else if (command == "processes") {
    Expect(options, 0, 0);
    for (const PROCESSENTRY32& entry : Processes())
      if (options.exe.empty() || IsExe(entry, options.exe))
        Record().Number("pid", entry.th32ProcessID).Text("exe", BaseName(entry.szExeFile)).Print();
  } else if (command == "hold-file") {
    Expect(options, 1, 1);
    HoldFile(args[0], options.timeout, options.readOnly);
  } else if (command == "terminate") {
    Expect(options, 0, 0);
    Terminate(options);
  } else if (command == "children") {
    Expect(options, 1, 1);
    PrintChildren(ResolveWindow(args[0], options), 1);
  } else if (command == "rect") {
    Expect(options, 1, 1);
    PrintRects(ResolveWindow(args[0], options));
  } else if (command == "text") {
    Expect(options, 1, 1);
    HWND window = ResolveWindow(args[0], options);
    std::string text;
    if (!TryReadText(window, text)) throw std::runtime_error("the window does not answer WM_GETTEXT");
    Record().Text("hwnd", HandleText(window)).Text("text", text).Print();
  } else if (command == "click") {
    Expect(options, 1, 2);
    HWND window = ResolveWindow(args[0], options);
    HWND control = window;
    if (args.size() == 2 && !(control = FindButton(window, args[1])))
      throw std::runtime_error("no control \"" + args[1] + "\" in window " + HandleText(window));
    // Described first: the click may well destroy the control.
    WindowRecord(control).Print();
    Click(control);
  } else if (command == "set-text") {
    Expect(options, 2, 2);
    HWND window = ResolveWindow(args[0], options);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()), SMTO_ABORTIFHUNG,
                             messageTimeout, &result) ||
        !result)
      throw std::runtime_error("the window does not take the text");
    WindowRecord(window).Print();
  } else if (command == "move") {
    Expect(options, 5, 5);
    HWND window = ResolveWindow(args[0], options);
    MoveWindowTo(window, {args.begin() + 1, args.end()});
    PrintRects(window);
  } else if (command == "close") {
    Expect(options, 1, 1);
    HWND window = ResolveWindow(args[0], options);
    BOOL posted = options.sysCommand ? PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0)
                                     : PostMessageA(window, WM_CLOSE, 0, 0);
    if (!posted) throw std::runtime_error("cannot post the close request");
  } else if (command == "key") {
    Expect(options, 2, 2);
    UINT key = VirtualKey(args[1]);
    PostKey(ResolveWindow(args[0], options), key);
  } else if (command == "screen") {
    Expect(options, 0, 0);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    Record()
        .Number("width", GetSystemMetrics(SM_CXSCREEN))
        .Number("height", GetSystemMetrics(SM_CYSCREEN))
        .Number("dpi", dpi)
        .Print();
  } else {
    throw UsageError("unknown command \"" + command + "\"");
  }
}

// Coordinates are physical pixels only in a DPI-aware process; the function
// is looked up because older systems do not have it.
void BecomeDpiAware() {
  using SetAware = BOOL(WINAPI*)();
  if (HMODULE user = GetModuleHandleA("user32.dll"))
    if (auto set = reinterpret_cast<SetAware>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
      set();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(usage, stderr);
    return 2;
  }
  BecomeDpiAware();
  try {
    Run(argv[1], ParseOptions(argc, argv));
    return 0;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "uidriver: %s\n%s", error.what(), usage);
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "uidriver %s: %s\n", argv[1], error.what());
    return 1;
  }
}
