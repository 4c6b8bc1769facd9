// Control IDs (GetDlgCtrlID) of the two windows: the layout's `ids` plus the control's position
// in the layout. The window class names are "TFm_main", "TFm_Sub" and "TApplication" (the
// hidden application window). A test checks these numbers against the built windows.
#pragma once

namespace ui::main_ids {
inline constexpr int Lbl_Title = 101;
inline constexpr int Lbl_SubTitle = 102;
inline constexpr int Grp_OnOff = 103;
inline constexpr int Btn_Regist = 104;
inline constexpr int Lbl_Regist1 = 105;
inline constexpr int Lbl_Regist2 = 106;
inline constexpr int Btn_UnRegist = 107;
inline constexpr int Lbl_UnRegist1 = 108;
inline constexpr int Lbl_UnRegist2 = 109;
inline constexpr int Lbl_UnRegist3 = 110;
inline constexpr int Grp_Options = 111;
inline constexpr int Lbl_SaveMethod = 112;
inline constexpr int cbo_SaveMethod = 113;
inline constexpr int chk_AllowBreakDCF = 114;
inline constexpr int Lbl_AllowBreakDCF = 115;
inline constexpr int chk_KeepTimeStamp_Create = 116;
inline constexpr int chk_KeepTimeStamp_Write = 117;
inline constexpr int chk_AllowAdjustMCU = 118;
inline constexpr int Lbl_AllowAdjustMCU = 119;
inline constexpr int Chk_NotShowWarning = 120;
inline constexpr int Label1 = 121;
inline constexpr int Btn_OK = 122;
inline constexpr int Btn_Cancel = 123;
inline constexpr int Btn_Sub = 124;
}  // namespace ui::main_ids

namespace ui::sub_ids {
inline constexpr int GroupBox = 201;
inline constexpr int Label4 = 202;
inline constexpr int Label1 = 203;
inline constexpr int HotKey_90 = 204;
inline constexpr int Label2 = 205;
inline constexpr int HotKey_270 = 206;
inline constexpr int Label3 = 207;
inline constexpr int HotKey_180 = 208;
inline constexpr int Chk_gAddMenu180 = 209;
inline constexpr int Btn_OK = 210;
inline constexpr int Btn_Cancel = 211;
}  // namespace ui::sub_ids
