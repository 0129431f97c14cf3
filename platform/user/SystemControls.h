#pragma once
// The platform's standard control classes. CreateWindowExW and GetClassInfo(Ex)W register
// each on the first use of its name (so a subclass can take its window procedure from
// GetClassInfoExW); RegisterSystemControlClasses() registers them all at once.
#include "User.h"

// Registers every standard control class not yet registered; safe to call again.
void RegisterSystemControlClasses();
// Registers the standard class of that name (case-insensitive) when it is one and not yet
// registered; false when the name is no standard class.
bool RegisterSystemControlClass(const WCHAR* className);

// ---- Edit control ("EDIT") ----
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;
constexpr UINT ECM_FIRST = 0x1500;
constexpr UINT EM_SETCUEBANNER = ECM_FIRST + 1;
constexpr UINT EM_GETCUEBANNER = ECM_FIRST + 2;

constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;

// ---- Buttons ("BUTTON"): push buttons ----
// Themed while visual styles are on: normal, hot (under the pointer), pressed, disabled,
// default; the focused button also shows a focus rectangle.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_NOTIFY = 0x4000;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr LRESULT BST_PUSHED = 0x0004;
constexpr LRESULT BST_FOCUS = 0x0008;
constexpr LRESULT BST_HOT = 0x0200;
constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_SETFOCUS = 6;   // with BS_NOTIFY
constexpr WORD BN_KILLFOCUS = 7;  // with BS_NOTIFY

// ---- Static text ("STATIC") ----
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_TYPEMASK = 0x001F;
constexpr DWORD SS_NOPREFIX = 0x0080;
constexpr DWORD SS_NOTIFY = 0x0100;

// ---- Up-down control ("msctls_updown32") ----
// Two arrow halves that step a position within a range, repeating while held (first after
// 400 ms, then every 100 ms, larger steps by the acceleration table). "Up" (or right) moves
// toward the maximum; with the default range (min 100, max 0) it therefore lowers the number,
// as on the platform. Each step sends the parent UDN_DELTAPOS (WM_NOTIFY; iDelta signed, the
// parent may change it, answering nonzero cancels the step), then, even at the end of the
// range, WM_VSCROLL (WM_HSCROLL with UDS_HORZ) with SB_THUMBPOSITION and the position in the
// high word, lParam the control; SB_ENDSCROLL when the press or the key ends. Clicking gives
// the focus to the buddy.
constexpr const WCHAR* UPDOWN_CLASS = u"msctls_updown32";
constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_HORZ = 0x0040;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
constexpr DWORD UDS_HOTTRACK = 0x0100;

constexpr UINT UDM_SETRANGE = WM_USER + 101;  // lParam MAKELONG(max, min), 16-bit
constexpr UINT UDM_GETRANGE = WM_USER + 102;  // MAKELONG(max, min)
constexpr UINT UDM_SETPOS = WM_USER + 103;    // lParam low word; returns the old position
constexpr UINT UDM_GETPOS = WM_USER + 104;    // MAKELONG(pos, error): error nonzero when the
                                              // buddy's text is no number in range
constexpr UINT UDM_SETBUDDY = WM_USER + 105;  // returns the old buddy
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETACCEL = WM_USER + 107;  // wParam count, lParam const UDACCEL*
constexpr UINT UDM_GETACCEL = WM_USER + 108;  // returns the count, fills up to wParam entries
constexpr UINT UDM_SETBASE = WM_USER + 109;   // 10 or 16; returns the old base, 0 if invalid
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;  // wParam min, lParam max
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;  // wParam int* min, lParam int* max
constexpr UINT UDM_SETPOS32 = WM_USER + 113;    // lParam pos; returns the old position
constexpr UINT UDM_GETPOS32 = WM_USER + 114;    // lParam BOOL* error (may be null)
constexpr int UD_MAXVAL = 0x7FFF;
constexpr int UD_MINVAL = -UD_MAXVAL;

struct UDACCEL {
  UINT nSec = 0;  // seconds held before this increment applies
  UINT nInc = 0;
};

constexpr UINT UDN_FIRST = UINT(-721);
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;    // the position before the step
  int iDelta = 0;  // the proposed change; the parent may alter it
};

// ---- Combo box ("COMBOBOX") ----
// CBS_DROPDOWN: an edit child (identifier 1001) and a drop button; CBS_DROPDOWNLIST: a static
// field showing the selected item. The list drops in a popup of the class "ComboLBox" that
// never takes activation: the focus stays in the combo box, which feeds it the keys. Choosing
// an item (click, or Enter) sets the field, sends CBN_SELCHANGE, then CBN_SELENDOK and
// CBN_CLOSEUP; Escape or a click elsewhere closes it with CBN_SELENDCANCEL and restores the
// selection. CB_SETCURSEL from code sends nothing. WM_SETTEXT sets the edit's text and leaves
// the selection alone (CB_ERR without an edit); typing keeps the selection only while the
// text equals an item's (case-insensitive), else it becomes -1. F4 and Alt+Down toggle the
// list; Up/Down (and Home/End/PageUp/PageDown) in the closed box select with CBN_SELCHANGE.
constexpr DWORD CBS_SIMPLE = 0x0001;  // shown as CBS_DROPDOWN here
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_TYPEMASK = 0x0003;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr DWORD CBS_UPPERCASE = 0x2000;
constexpr DWORD CBS_LOWERCASE = 0x4000;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;  // lParam MAKELPARAM(start, end)
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;  // prefix, case-insensitive, after wParam
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;  // screen coordinates
constexpr UINT CB_SETITEMHEIGHT = 0x0153;          // wParam -1: the field, else the list items
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_SETEXTENDEDUI = 0x0155;
constexpr UINT CB_GETEXTENDEDUI = 0x0156;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETTOPINDEX = 0x015B;
constexpr UINT CB_SETTOPINDEX = 0x015C;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr UINT CB_GETCOMBOBOXINFO = 0x0164;
constexpr UINT CB_SETMINVISIBLE = 0x1701;  // items the list shows before it scrolls (30)
constexpr UINT CB_GETMINVISIBLE = 0x1702;
constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;

constexpr WORD CBN_ERRSPACE = WORD(-1);
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

constexpr int kComboEditId = 1001;

constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;
struct COMBOBOXINFO {
  DWORD cbSize = sizeof(COMBOBOXINFO);
  RECT rcItem;    // the field, client coordinates
  RECT rcButton;  // the drop button, client coordinates
  DWORD stateButton = 0;
  HWND hwndCombo = 0;
  HWND hwndItem = 0;  // the edit, 0 for CBS_DROPDOWNLIST
  HWND hwndList = 0;  // the "ComboLBox" popup
};
BOOL GetComboBoxInfo(HWND combo, COMBOBOXINFO* info);

// The list popup answers these list-box messages.
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_GETITEMRECT = 0x0198;  // client coordinates of the popup
constexpr LRESULT LB_ERR = -1;

// Each class on its own; RegisterSystemControlClasses() calls them all.
void RegisterEditControlClass();
void RegisterButtonControlClass();
void RegisterStaticControlClass();
void RegisterUpDownControlClass();
void RegisterComboBoxControlClass();
