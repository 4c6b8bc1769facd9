#include "ui/form.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "settings/exception.h"
#include "ui/dpi.h"

namespace ui {
namespace {

constexpr std::size_t kWindow = static_cast<std::size_t>(-1);
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_WINDOWEDGE;
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4  // Windows 10 1703
#endif

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

void Form::RegisterClass() const {
  const std::wstring name = Wide(def_.className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc)) return;
  wc.lpfnWndProc = &Thunk;
  wc.hInstance = GetModuleHandleW(nullptr);
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

  RegisterClass();
  scaled_ = ScaleForm(def_, SystemDpi());
  const RECT frame = Frame(scaled_.dpi);
  HWND hwnd = CreateWindowExW(kFormExStyle, Wide(def_.className).c_str(), Wide(def_.caption).c_str(), kFormStyle,
                              0, 0, frame.right - frame.left, frame.bottom - frame.top, host_.Owner(), nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) throw std::runtime_error("cannot create window " + def_.className);
  // A monitor of its own may have another dpi than the system's.
  if (const int dpi = WindowDpi(hwnd); dpi != scaled_.dpi) scaled_ = ScaleForm(def_, dpi);
  FitClientArea();
  HICON icon = host_.Icon();
  if (!def_.icon.empty()) {
    icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Wide(def_.icon).c_str(), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE | LR_SHARED));
  }
  if (icon) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(scaled_.font)), FALSE);
  // Labels are measured on one memory DC like the screen's: cheaper than a DC of each label's.
  const DcHandle measure(CreateCompatibleDC(nullptr));
  if (!measure) throw std::runtime_error("cannot create a device context for " + def_.className);
  for (std::size_t i = 0; i < placed_.size(); ++i) CreateControl(i, measure.get());
  CenterOnScreen();

  for (const Binding& b : bindings_) {
    if (b.control != kWindow || b.event != "Create") continue;
    try {
      CallHandler(b.handler, hwnd);
    } catch (...) {
      ShowCurrentException(host_);
    }
  }
}

void Form::CreateControl(std::size_t index, HDC measure) {
  const ControlSpec& def = *placed_[index].def;
  const ScaledControl& scaled = scaled_.controls[index];
  const KindClass kc = ClassOf(def.kind);
  // A drop-down list's height at creation includes its list.
  const int height = scaled.bounds.height + scaled.listHeight;
  HWND control = CreateWindowExW(kc.exStyle, kc.className, Wide(def.text).c_str(), WS_CHILD | WS_VISIBLE | kc.style,
                                 scaled.bounds.left, scaled.bounds.top, scaled.bounds.width, height, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(scaled.id)), GetModuleHandleW(nullptr),
                                 nullptr);
  if (!control) throw std::runtime_error("cannot create control " + def.name);
  controls_.push_back(control);
  switch (def.kind) {
    case ControlKind::ComboBox:
      for (const std::string& item : def.items)
        SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
      break;
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
  PlaceControl(index, measure);
}

void Form::PlaceControl(std::size_t index, HDC measure) {
  const ControlSpec& def = *placed_[index].def;
  const ScaledControl& scaled = scaled_.controls[index];
  HWND control = controls_[index];
  HFONT font = Font(scaled.font);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  int width = scaled.bounds.width;
  int height = scaled.bounds.height + scaled.listHeight;
  if (def.kind == ControlKind::Label) {
    // A label is sized to its one line of text: never smaller than laid out, and larger where
    // the system's font for the face is wider than the one the layout was made with.
    HGDIOBJ old = SelectObject(measure, font);
    const std::wstring text = Wide(def.text);
    SIZE extent{};
    GetTextExtentPoint32W(measure, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(measure, old);
    width = std::max(width, static_cast<int>(extent.cx));
    height = std::max(height, static_cast<int>(extent.cy));
  }
  SetWindowPos(control, nullptr, scaled.bounds.left, scaled.bounds.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (def.kind == ControlKind::ComboBox) {
    SendMessageW(control, CB_SETITEMHEIGHT, 0, scaled.itemHeight);
    // The closed box takes the layout's height: the selection field gives the difference.
    // Systems differ in what the field's height includes, so correct by what is measured.
    LRESULT field = SendMessageW(control, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int tries = 0; tries < 4 && field > 0; ++tries) {
      RECT r{};
      GetWindowRect(control, &r);
      const LRESULT excess = (r.bottom - r.top) - scaled.bounds.height;
      if (excess == 0 || field - excess <= 0) break;
      field -= excess;
      SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
  }
}

RECT Form::Frame(int dpi) const {
  return FrameAround(ScalePixels(def_.clientWidth, dpi), ScalePixels(def_.clientHeight, dpi), kFormStyle,
                     kFormExStyle, dpi);
}

void Form::FitClientArea() {
  RECT client{};
  RECT outer{};
  GetClientRect(Handle(), &client);
  GetWindowRect(Handle(), &outer);
  const int dx = scaled_.clientWidth - client.right;
  const int dy = scaled_.clientHeight - client.bottom;
  if (dx == 0 && dy == 0) return;
  SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == scaled_.dpi) return;
  scaled_ = ScaleForm(def_, dpi);
  // The old fonts stay until every control has its new one.
  const std::vector<std::pair<FontSpec, FontHandle>> old = std::move(fonts_);
  fonts_.clear();
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font(scaled_.font)), FALSE);
  const DcHandle measure(CreateCompatibleDC(nullptr));
  if (!measure) throw std::runtime_error("cannot create a device context for " + def_.className);
  for (std::size_t i = 0; i < controls_.size(); ++i) PlaceControl(i, measure.get());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
  for (const ScaledControl& scaled : scaled_.controls) {
    if (scaled.id != static_cast<int>(item.CtlID)) continue;
    // The selection field: the closed box's height less its frame.
    item.itemHeight = static_cast<UINT>(item.itemID == static_cast<UINT>(-1) ? std::max(1, scaled.bounds.height - 6)
                                                                             : scaled.itemHeight);
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
    const int offset = EmbossOffset(scaled_.dpi);
    OffsetRect(&shifted, offset, offset);
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
    case WM_GETDPISCALEDSIZE: {
      // The size the window takes at the new dpi, for the rectangle WM_DPICHANGED suggests.
      const RECT frame = Frame(static_cast<int>(wParam));
      auto* size = reinterpret_cast<SIZE*>(lParam);
      size->cx = frame.right - frame.left;
      size->cy = frame.bottom - frame.top;
      return TRUE;
    }
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      FitClientArea();
      return 0;
    }
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
