#include "codeclister/MainDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "codeclister/FileVersion.h"
#include "codeclister/GdiPrintDevice.h"
#include "codeclister/PrintPager.h"
#include "codeclister/ProgressWindow.h"
#include "codeclister/ReportFile.h"
#include "codeclister/SystemInfo.h"
#include "codeclister/resource.h"

namespace {
const char kProgramName[] = "Probewell";
const char* const kTypeItems[] = {"Audio Codecs Installed", "Video Codecs Installed"};
const char* const kTypeOfItem[] = {"Audio", "Video"};
const char* const kDetailRows[] = {"Codec Name",   "Driver",       "Codec Version", "Four CC Code",
                                   "Last Modified", "Company Name", "Description",   "Legal Copyrights"};
enum DetailRow { kName, kDriver, kVersion, kFourCc, kModified, kCompany, kDescription, kCopyright, kDetailCount };
constexpr int kCodecItemHeight = 15;
constexpr int kRowHeight = 18;

void AddColumn(HWND list, int index, const char* title, int width) {
  LVCOLUMNA column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<char*>(title);
  column.cx = width;
  column.iSubItem = index;
  ListView_InsertColumn(list, index, &column);
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AddRow(HWND list, int row, const char* label) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(label);
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Key/value list with grid lines, full-row selection and 18-pixel rows (the height comes from a
// blank image list).
void PrepareList(HWND list, const char* keyTitle, HIMAGELIST rowHeight) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  ListView_SetImageList(list, rowHeight, LVSIL_SMALL);
  AddColumn(list, 0, keyTitle, 120);
  AddColumn(list, 1, "Value", 280);
}

std::string SaveMessage() {
  const std::string blanks(31, ' ');
  return "Codec List Saved Successfully." + blanks + "\r\n\r\n" + "Thank You For Using This Tool." + blanks +
         "\r\n\r\n" + "Probewell - Codec Reporting Utility\r\n" + "The Probewell project\r\n" +
         "Maintainers of the Probewell codec lister";
}
}  // namespace

INT_PTR CMainDialog::Run() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PROBEWELL), nullptr, Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CMainDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CMainDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
  }
  auto* self = reinterpret_cast<CMainDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR CMainDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CODEC_TYPE:
          if (HIWORD(wParam) == CBN_SELCHANGE) FillCodecList();
          return TRUE;
        case IDC_CODEC_LIST:
          if (HIWORD(wParam) == LBN_SELCHANGE) ShowDetails();
          return TRUE;
        case IDC_SAVE:
          Save();
          return TRUE;
        case IDC_PRINT:
          Print();
          return TRUE;
        case IDC_ABOUT:
          ShowAboutBox(instance_, dialog_);
          return TRUE;
        case IDC_CLOSE:
        case IDCANCEL:
          Close();
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      Close();
      return TRUE;
    default:
      return FALSE;
  }
}

void CMainDialog::OnInit() {
  HICON big = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_PROBEWELL), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  HICON small = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_PROBEWELL), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

  website_.Attach(GetDlgItem(dialog_, IDC_WEBSITE), PROBEWELL_WEBSITE);
  website_.SetUnderline(1);

  types_ = GetDlgItem(dialog_, IDC_CODEC_TYPE);
  codecList_ = GetDlgItem(dialog_, IDC_CODEC_LIST);
  details_ = GetDlgItem(dialog_, IDC_CODEC_DETAILS);
  system_ = GetDlgItem(dialog_, IDC_SYSTEM_INFO);
  rowHeight_ = ImageList_Create(1, kRowHeight, ILC_COLOR, 1, 1);

  BuildSystemList();
  BuildDetailsList();
  SendMessageA(codecList_, LB_SETITEMHEIGHT, 0, kCodecItemHeight);
  for (const char* item : kTypeItems) SendMessageA(types_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));

  {
    CProgressWindow progress(instance_);
    if (lister_.Initialize(progress)) lister_.Enumerate(progress);
  }
  const std::string warning = BuildBrokenWarning(lister_.Codecs());
  if (!warning.empty()) MessageBoxA(dialog_, warning.c_str(), kProgramName, MB_OK | MB_ICONWARNING);

  SendMessageA(types_, CB_SETCURSEL, 1, 0);
  FillCodecList();
}

void CMainDialog::BuildSystemList() {
  PrepareList(system_, "System Information", rowHeight_);
  rows_ = CollectSystemRows();
  for (size_t i = 0; i < kSystemRowCount; ++i) {
    AddRow(system_, static_cast<int>(i), kSystemRowLabels[i]);
    SetCell(system_, static_cast<int>(i), 1, rows_[i]);
  }
}

void CMainDialog::BuildDetailsList() {
  PrepareList(details_, "Key", rowHeight_);
  for (int i = 0; i < kDetailCount; ++i) AddRow(details_, i, kDetailRows[i]);
}

void CMainDialog::FillCodecList() {
  SendMessageA(codecList_, LB_RESETCONTENT, 0, 0);
  const LRESULT chosen = SendMessageA(types_, CB_GETCURSEL, 0, 0);
  if (chosen < 0 || chosen > 1) return;
  const std::vector<CodecEntry>& codecs = lister_.Codecs();
  for (size_t i = 0; i < codecs.size(); ++i) {
    if (codecs[i].type != kTypeOfItem[chosen]) continue;
    const LRESULT at = SendMessageA(codecList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(codecs[i].name.c_str()));
    if (at >= 0) SendMessageA(codecList_, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
  }
  SendMessageA(codecList_, LB_SETCURSEL, 0, 0);
  ShowDetails();
}

void CMainDialog::SetDetail(int row, const std::string& value) { SetCell(details_, row, 1, value); }

void CMainDialog::ShowDetails() {
  const LRESULT selected = SendMessageA(codecList_, LB_GETCURSEL, 0, 0);
  const std::vector<CodecEntry>& codecs = lister_.Codecs();
  const LRESULT index = selected >= 0 ? SendMessageA(codecList_, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0) : -1;
  if (index < 0 || static_cast<size_t>(index) >= codecs.size()) {
    for (int row = 0; row < kDetailCount; ++row) SetDetail(row, "");
    return;
  }
  const CodecEntry& codec = codecs[static_cast<size_t>(index)];
  SetDetail(kName, codec.name);
  SetDetail(kDriver, codec.driver);
  SetDetail(kFourCc, codec.formatCode);
  const std::optional<VersionData> data = codec.broken ? std::nullopt : ReadVersionData(codec.driver);
  SetDetail(kVersion, data ? data->fileVersion : "");
  SetDetail(kModified, data ? FileModifiedText(codec.driver) : "");
  SetDetail(kCompany, data ? data->companyName : "");
  SetDetail(kDescription, data ? data->fileDescription : "");
  SetDetail(kCopyright, data ? data->legalCopyright : "");
  if (codec.broken) {
    MessageBoxA(dialog_,
                "The driver file for this codec was not found.\r\n\r\n"
                "This probably means the codec was not uninstalled properly.",
                kProgramName, MB_OK | MB_ICONINFORMATION);
  }
}

void CMainDialog::Save() {
  std::vector<char> file(32768, '\0');
  const char defaultName[] = "Codecs.txt";
  std::copy(defaultName, defaultName + sizeof defaultName, file.begin());
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.lpstrFilter = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrDefExt = "txt";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&dialog)) return;
  const std::string path(file.data());
  if (!WriteReportFile(path, MakeReport(rows_, lister_.Codecs()))) {
    MessageBoxA(dialog_, ("The report could not be written to " + path + ".").c_str(), kProgramName,
                MB_OK | MB_ICONERROR);
    return;
  }
  MessageBoxA(dialog_, SaveMessage().c_str(), kProgramName, MB_OK | MB_ICONINFORMATION);
}

void CMainDialog::Print() {
  PRINTDLGA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.Flags = PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE | PD_USEDEVMODECOPIESANDCOLLATE | PD_RETURNDC;
  if (!PrintDlgA(&dialog)) return;
  if (dialog.hDC) {
    CGdiPrintDevice device(dialog.hDC);
    PrintPager pager(device, kProgramName);
    if (pager.Start()) {
      pager.Print(MakeReport(rows_, lister_.Codecs()));
      pager.End();
      MessageBoxA(dialog_, "Report successfully genereted and sent to the printer.", kProgramName,
                  MB_OK | MB_ICONINFORMATION);
    } else {
      MessageBoxA(dialog_, "An error occured while trying to print.", kProgramName, MB_OK | MB_ICONERROR);
    }
    DeleteDC(dialog.hDC);
  }
  if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
  if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
}

void CMainDialog::Close() {
  lister_.Close();
  if (rowHeight_) ImageList_Destroy(rowHeight_);
  rowHeight_ = nullptr;
  EndDialog(dialog_, IDC_CLOSE);
}
