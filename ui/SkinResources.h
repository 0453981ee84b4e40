#pragma once
// Resource numbers of the windows in the skin file that the program's classes build themselves from.
enum SkinResource : int {
    IDR_MAIN_FRAME = 1000,        // CKorvelMainFrm
    IDR_WELCOME = 1115,           // CWndWelcome, the loading window
    IDR_OPUS = 1138,              // CWndOpus, the works panel
    IDR_USER_OPT_HITE = 1140,     // CWndUserOptHite, the message box
    IDR_ABOUT = 1145,             // CWndAbout
    IDR_SETTING = 1151,           // CWndSetting
    IDR_CHOICE_PATH = 1175,       // CWndChoicePath
    IDR_NAME = 1188,              // CWndName
    IDR_RECORD_FINISH = 1191,     // CWndRecordFinishHite
    IDR_SPE_EFFECT = 1200,        // CWndSpeEffect: category tree 4101, sub-panel area 4103
    IDR_VIDEO_SCR = 1201,         // CWndVideoScr: source tree 4201, sub-panel area 4203
    IDR_KTV = 1202,               // CWndKTV: catalogue area 4301, song-list area 4302
    IDR_LEFT_PAN = 1203,          // CWndLeftPan: preview area 1117, player controls 1118-1136
    IDR_SUB_VIDEO_SPE_EFFECT = 1210,
    IDR_SELECTED_EFFECT = 1211,
    IDR_COLOR_ADJUST = 1212,
    IDR_INNER_IMG = 1213,
    IDR_ADD_FONT = 1214,
    IDR_SUB_VIDEO_SETTING = 1220,
    IDR_MED_LIST = 1221,
    IDR_MED_VIEW = 1222,
    IDR_SUB_IMG_VIEW = 1223,
    IDR_SUB_CAPTURE = 1224,
    IDR_SUB_SONG_SCR = 1230,
    IDR_SUB_SEL_SONG = 1231,
};
