// Resource identifiers of Probewell's dialogs, icon and manifest.
#pragma once

#define IDI_PROBEWELL 101
#define IDD_PROBEWELL 102
#define IDD_PROGRESS 103
#define IDD_ABOUT 104

#define IDC_CODEC_DETAILS 1000
#define IDC_SYSTEM_INFO 1001
#define IDC_CODEC_LIST 1002
#define IDC_CODEC_TYPE 1003
#define IDC_SAVE 1004
#define IDC_ABOUT 1005
#define IDC_CLOSE 1006
#define IDC_WEBSITE 1007
#define IDC_PRINT 1008
#define IDC_PROGRESS_STATUS 1009
#define IDC_ABOUT_MAIL 1011
#define IDC_ABOUT_HOME 1012
#define IDC_ABOUT_CODECS 1013

// The project's own addresses, shown by the hyperlink labels.
#define PROBEWELL_WEBSITE "https://probewell.example.org/"
#define PROBEWELL_MAIL "mailto:probewell@example.org"
#define PROBEWELL_CODEC_PAGE "https://probewell.example.org/codecs/"
