// Form: construction, the window procedure and focus (ui/form.h).
#include "ui/form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/control_factory.h"
#include "ui/dpi.h"
#include "ui/owner_draw.h"

namespace ui {
namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_WINDOWEDGE;
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4  // Windows 10 1703
#endif
// The headers spell IDC_ARROW for the narrow API here; the resource number is the same.
const wchar_t* const kArrowCursor = reinterpret_cast<const wchar_t*>(IDC_ARROW);

bool IsPushButton(HWND hwnd) {
  if (lstrcmpiW(ClassName(hwnd).c_str(), L"Button") != 0) return false;
  const auto type = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

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

void Form::RegisterClass(HICON icon) const {
  const std::wstring name = Widen(def_.className);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &wc)) return;
  wc.lpfnWndProc = &Thunk;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = icon;
  wc.hIconSm = icon;
  wc.hCursor = LoadCursorW(nullptr, kArrowCursor);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register window class " + def_.className);
}

void Form::Build() {
  // Bind first: a layout that names an unknown handler never becomes a window.
  Bind();
  CreateWindowAndControls();
  ResolveControls();
  RunCreate();
}

void Form::CreateWindowAndControls() {
  HICON icon = host_.Icon();
  if (!def_.icon.empty()) {
    icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), Widen(def_.icon).c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  }
  RegisterClass(icon);
  scaled_ = ScaleForm(def_, SystemDpi());
  const Rect frame = FrameRect(scaled_.dpi);
  HWND hwnd = CreateWindowExW(kFormExStyle, Widen(def_.className).c_str(), Widen(def_.caption).c_str(), kFormStyle,
                              frame.left, frame.top, frame.width, frame.height, host_.Owner(), nullptr,
                              GetModuleHandleW(nullptr), this);
  if (!hwnd) throw std::runtime_error("cannot create window " + def_.className);
  // The window's monitor may have another dpi than the system's.
  if (const int dpi = WindowDpi(hwnd); dpi != scaled_.dpi) scaled_ = ScaleForm(def_, dpi);
  if (FitClientArea()) CenterOnScreen();
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(scaled_.font)), FALSE);
  // Labels are measured on one memory DC like the screen's: cheaper than a DC of each label's.
  const DcHandle measure(CreateCompatibleDC(nullptr));
  if (!measure) throw std::runtime_error("cannot create a device context for " + def_.className);
  const QuietScope quiet(*this);  // the fields' starting values are no user's change
  for (const ScaledControl& placed : scaled_.controls)
    controls_.push_back(CreateControl(hwnd, placed, fonts_, measure.get()));
}

RECT Form::Frame(int dpi) const {
  return FrameAround(ScalePixels(def_.clientWidth, dpi), ScalePixels(def_.clientHeight, dpi), kFormStyle, kFormExStyle,
                     dpi);
}

bool Form::FitClientArea() {
  RECT client{};
  RECT outer{};
  GetClientRect(Handle(), &client);
  GetWindowRect(Handle(), &outer);
  const int dx = scaled_.clientWidth - client.right;
  const int dy = scaled_.clientHeight - client.bottom;
  if (dx == 0 && dy == 0) return false;
  SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void Form::ApplyDpi(int dpi) {
  if (dpi <= 0 || dpi == scaled_.dpi) return;
  scaled_ = ScaleForm(def_, dpi);
  // The old fonts stay until every control has its new one.
  const FontCache old = std::exchange(fonts_, FontCache());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(scaled_.font)), FALSE);
  const DcHandle measure(CreateCompatibleDC(nullptr));
  if (!measure) throw std::runtime_error("cannot create a device context for " + def_.className);
  for (std::size_t i = 0; i < controls_.size(); ++i)
    PlaceControl(controls_[i], scaled_.controls[i], fonts_, measure.get());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The rectangle the system suggests is taken; where the frame at the new dpi is not what was
// computed (per-monitor v1 leaves it unscaled), the client area is made right afterwards.
void Form::OnDpiChanged(WPARAM wParam, const RECT& suggested) {
  ApplyDpi(HIWORD(wParam));
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
}

// Created where it will be seen: centred on the screen by its outer size at that dpi.
Rect Form::FrameRect(int dpi) const {
  const RECT frame = Frame(dpi);
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

void Form::ClickFocusedButton(HWND focus) {
  if (!IsPushButton(focus) || !IsWindowEnabled(focus) || GetParent(focus) != Handle()) return;
  SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED), reinterpret_cast<LPARAM>(focus));
}

void Form::OnActivate(WPARAM wParam) {
  HWND hwnd = Handle();
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == hwnd) lastFocus_ = focus;
  } else if (!HIWORD(wParam)) {
    HWND target = lastFocus_;
    if (!target || !IsWindowEnabled(target) || !IsWindowVisible(target))
      target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    SetFocus(target ? target : hwnd);
  }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(wParam, lParam); return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_STATIC)
        DrawLabel(*item, scaled_.dpi);
      else if (item->CtlType == ODT_COMBOBOX)
        DrawComboItem(*item);
      else
        break;
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_COMBOBOX) break;
      for (const ScaledControl& placed : scaled_.controls)
        if (placed.id == static_cast<int>(item->CtlID)) item->itemHeight = ComboItemHeight(placed, item->itemID);
      return TRUE;
    }
    case WM_SETFONT: font_ = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_GETDPISCALEDSIZE: {
      // The size the window takes at the new dpi, for the rectangle WM_DPICHANGED suggests.
      const RECT frame = Frame(static_cast<int>(wParam));
      auto* size = reinterpret_cast<SIZE*>(lParam);
      size->cx = frame.right - frame.left;
      size->cy = frame.bottom - frame.top;
      return TRUE;
    }
    case WM_DPICHANGED: OnDpiChanged(wParam, *reinterpret_cast<const RECT*>(lParam)); return 0;
    default: break;
  }
  return DefWindowProcW(Handle(), message, wParam, lParam);
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
