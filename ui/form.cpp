#include "ui/form.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "settings/exception.h"

namespace ui {
namespace {

constexpr std::size_t kWindow = static_cast<std::size_t>(-1);
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_WINDOWEDGE;
// What a closed combo box's frame takes of its height, above and below the selection field.
constexpr int kComboFrameHeight = 6;

struct KindClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

KindClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label: return {L"STATIC", SS_OWNERDRAW, 0};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::GroupBox: return {L"BUTTON", BS_GROUPBOX, 0};
    // Drawn by the window so that its rows take the layout's item height on every system.
    case ControlKind::ComboBox:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::HotKey: return {HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  throw std::logic_error("unknown control kind");
}

bool IsPushButton(HWND hwnd) {
  if (lstrcmpiW(ClassName(hwnd).c_str(), L"Button") != 0) return false;
  const auto type = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

void ShowCurrentException(Host& host) noexcept {
  try {
    try {
      throw;
    } catch (const settings::Exception& e) {
      host.ShowError(e.Message());
    } catch (const std::exception& e) {
      host.ShowError(e.what());
    } catch (...) {
      host.ShowError("Unknown error");
    }
  } catch (...) {
    // Nothing more can be shown when the error box itself fails.
  }
}

void ProcessMessage(MSG& msg) {
  HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  Form* form = top ? Form::FromHandle(top) : nullptr;
  if (form) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
      // Without this the dialog manager would turn Enter and Escape into IDOK and IDCANCEL;
      // a control that wants the key (an open drop-down list) still gets it.
      const LRESULT wants = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
      if (!(wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
        if (msg.wParam == VK_RETURN) form->ClickFocusedButton(msg.hwnd);
        return;
      }
    } else if (IsDialogMessageW(top, &msg)) {
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

Form::Form(Host& host, std::string_view layoutText) : host_(host), def_(ParseLayout(layoutText)) {
  placed_ = Flatten(def_);
}

Form::~Form() {
  if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

Form* Form::FromHandle(HWND hwnd) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Thunk) return nullptr;
  return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HWND Form::Control(std::string_view name) const {
  for (std::size_t i = 0; i < placed_.size(); ++i)
    if (placed_[i].def->name == name) return controls_[i];
  throw std::logic_error("no control " + std::string(name) + " in " + def_.className);
}

std::string Form::BoundHandler(std::string_view control, std::string_view event) const {
  for (const Binding& b : bindings_) {
    const bool match = b.control == kWindow ? control.empty() : placed_[b.control].def->name == control;
    if (match && b.event == event) return HandlerName(b.handler);
  }
  return {};
}

void Form::RegisterClass(HICON icon) const {
  const std::wstring name = Wide(def_.className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc)) return;
  wc.lpfnWndProc = &Thunk;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register window class " + def_.className);
}

HFONT Form::Font(const FontSpec& def) {
  for (const auto& [known, handle] : fonts_)
    if (known == def) return handle.get();
  LOGFONTW lf{};
  lf.lfHeight = -def.height;  // character height, internal leading excluded
  lf.lfWeight = def.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = static_cast<BYTE>(def.charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const std::wstring face = Wide(def.face);
  face.copy(lf.lfFaceName, LF_FACESIZE - 1);
  FontHandle font(CreateFontIndirectW(&lf));
  if (!font) throw std::runtime_error("cannot create font " + def.face);
  HFONT result = font.get();
  fonts_.emplace_back(def, std::move(font));
  return result;
}

void Form::Build() {
  // Bind first: a layout that names an unknown handler never becomes a window.
  for (const EventSpec& e : def_.events) {
    const auto handler = FindHandler(e.handler);
    if (!handler) throw LayoutError(def_.className + ": unknown handler " + e.handler);
    bindings_.push_back({kWindow, e.event, *handler});
  }
  for (std::size_t i = 0; i < placed_.size(); ++i) {
    for (const EventSpec& e : placed_[i].def->events) {
      const auto handler = FindHandler(e.handler);
      if (!handler) throw LayoutError(def_.className + ": unknown handler " + e.handler);
      bindings_.push_back({i, e.event, *handler});
    }
  }

  HICON icon = host_.Icon();
  if (!def_.icon.empty()) {
    icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Wide(def_.icon).c_str(), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE | LR_SHARED));
  }
  RegisterClass(icon);
  const Rect frame = FrameRect();
  HWND hwnd = CreateWindowExW(kFormExStyle, Wide(def_.className).c_str(), Wide(def_.caption).c_str(), kFormStyle,
                              frame.left, frame.top, frame.width, frame.height, host_.Owner(), nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) throw std::runtime_error("cannot create window " + def_.className);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(def_.font)), FALSE);
  // Labels are measured on one memory DC like the screen's: cheaper than a DC of each label's.
  const DcHandle measure(CreateCompatibleDC(nullptr));
  if (!measure) throw std::runtime_error("cannot create a device context for " + def_.className);
  for (const PlacedControl& placed : placed_) CreateControl(placed, measure.get());

  for (const Binding& b : bindings_) {
    if (b.control != kWindow || b.event != "Create") continue;
    try {
      CallHandler(b.handler, hwnd);
    } catch (...) {
      ShowCurrentException(host_);
    }
  }
}

void Form::CreateControl(const PlacedControl& placed, HDC measure) {
  const ControlSpec& def = *placed.def;
  const KindClass kc = ClassOf(def.kind);
  const Rect r = ControlRect(placed, measure);
  HWND control = CreateWindowExW(kc.exStyle, kc.className, Wide(def.text).c_str(), WS_CHILD | WS_VISIBLE | kc.style,
                                 r.left, r.top, r.width, r.height, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(placed.id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw std::runtime_error("cannot create control " + def.name);
  controls_.push_back(control);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(def.font)), FALSE);
  switch (def.kind) {
    case ControlKind::ComboBox: {
      for (const std::string& item : def.items)
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
      // The closed box takes the layout's height: its selection field is that less the frame
      // (what WM_MEASUREITEM also says). Set once; a system whose frame differs is corrected
      // by what is measured.
      LRESULT field = std::max(1, placed.bounds.height - kComboFrameHeight);
      SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
      for (int tries = 0; tries < 3; ++tries) {
        RECT box{};
        GetWindowRect(control, &box);
        const LRESULT excess = (box.bottom - box.top) - placed.bounds.height;
        if (excess == 0 || field - excess <= 0) break;
        field -= excess;
        SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
      }
      break;
    }
    case ControlKind::HotKey: {
      // Every modifier combination is refused and replaced by none: a key pressed with
      // modifiers is taken as the bare key.
      const QuietScope quiet(*this);
      SendMessageW(control, HKM_SETRULES, 0xFE, MAKELPARAM(0, 0));
      SendMessageW(control, HKM_SETHOTKEY, 0, 0);
      break;
    }
    default:
      break;
  }
}

Rect Form::FrameRect() const {
  RECT frame{0, 0, def_.clientWidth, def_.clientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  const int width = static_cast<int>(frame.right - frame.left);
  const int height = static_cast<int>(frame.bottom - frame.top);
  return {std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2),
          std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2), width, height};
}

void Form::CenterOnScreen() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  const int width = static_cast<int>(r.right - r.left);
  const int height = static_cast<int>(r.bottom - r.top);
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Form::ControlRect(const PlacedControl& placed, HDC measure) {
  const ControlSpec& def = *placed.def;
  Rect r = placed.bounds;
  if (def.kind == ControlKind::Label) {
    // A label is sized to its one line of text: never smaller than laid out, and larger where
    // the system's font for the face is wider than the one the layout was made with.
    HGDIOBJ old = SelectObject(measure, Font(def.font));
    const std::wstring text = Wide(def.text);
    SIZE extent{};
    GetTextExtentPoint32W(measure, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(measure, old);
    r.width = std::max(r.width, static_cast<int>(extent.cx));
    r.height = std::max(r.height, static_cast<int>(extent.cy));
  } else if (def.kind == ControlKind::ComboBox) {
    // A drop-down list's height at creation includes its list.
    r.height += static_cast<int>(def.items.size()) * std::max(def.itemHeight, def.font.height) + 2;
  }
  return r;
}

void Form::ClickFocusedButton(HWND focus) {
  if (!IsPushButton(focus) || !IsWindowEnabled(focus) || GetParent(focus) != Handle()) return;
  SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
}

void Form::Fire(std::size_t control, std::string_view event, HWND sender) {
  for (const Binding& b : bindings_)
    if (b.control == control && b.event == event) CallHandler(b.handler, sender);
}

void Form::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND sender = reinterpret_cast<HWND>(lParam);
  if (!sender) return;
  const auto it = std::find(controls_.begin(), controls_.end(), sender);
  if (it == controls_.end()) return;
  const auto index = static_cast<std::size_t>(it - controls_.begin());
  const UINT code = HIWORD(wParam);
  switch (placed_[index].def->kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) Fire(index, "Click", sender);
      break;
    case ControlKind::HotKey:
      if (code == EN_CHANGE && quiet_ == 0) Fire(index, "Change", sender);
      break;
    default:
      break;
  }
}

void Form::MeasureItem(MEASUREITEMSTRUCT& item) const {
  for (const PlacedControl& placed : placed_) {
    if (placed.id != static_cast<int>(item.CtlID)) continue;
    const int rows = placed.def->itemHeight > 0 ? placed.def->itemHeight : placed.def->font.height;
    // The selection field: the closed box's height less its frame.
    item.itemHeight = static_cast<UINT>(item.itemID == static_cast<UINT>(-1) ? std::max(1, placed.bounds.height - kComboFrameHeight) : rows);
  }
}

void Form::DrawComboItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &rc, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    const auto length = SendMessageW(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(!IsWindowEnabled(item.hwndItem) ? COLOR_GRAYTEXT
                                 : selected                      ? COLOR_HIGHLIGHTTEXT
                                                                 : COLOR_WINDOWTEXT));
    RECT textRect = rc;
    textRect.left += 2;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &textRect,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (old) SelectObject(dc, old);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &rc);
}

void Form::DrawLabel(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  std::wstring text = WindowText(item.hwndItem);
  constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
  if (IsWindowEnabled(item.hwndItem)) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, kFormat);
  } else {
    RECT shifted = rc;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &shifted, kFormat);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rc, kFormat);
  }
  if (old) SelectObject(dc, old);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = Handle();
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_STATIC) DrawLabel(*item);
      else if (item->CtlType == ODT_COMBOBOX) DrawComboItem(*item);
      else break;
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_COMBOBOX) break;
      MeasureItem(*item);
      return TRUE;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && GetParent(focus) == hwnd) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        HWND target = lastFocus_;
        if (!target || !IsWindowEnabled(target) || !IsWindowVisible(target))
          target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
        SetFocus(target ? target : hwnd);
      }
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Form::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Form*>(create->lpCreateParams);
    self->window_.reset(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->window_.release();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    ShowCurrentException(self->host_);
    return 0;
  }
}

}  // namespace ui
