#pragma once
// The media list: files added by the user, played by a double click, moved, removed and cleared; at the
// end of a file the next one plays by the list's play mode.
#include "pipeline/MediaList.h"
#include "ui/UIWnd.h"

class CWndMedList : public CUIWnd {
    Q_OBJECT
public:
    // The add button's file types, as the open-file dialog takes them.
    static const char* const kMediaFilter;

    explicit CWndMedList(QWidget* parent);

    const CMediaList& List() const { return list_; }
    // The highlighted entry; -1 for none.
    int SelectedEntry() const;

protected:
    void OnCommand(int id) override;
    void OnNotify(const ControlNotify& notify) override;
    bool OnMessage(CWindowMessage& message) override;

private:
    void Add();
    void Clear();
    void ChoosePlayMode();
    // Shows the list with entry `selected` highlighted (-1 for none).
    void ShowList(int selected);

    CMediaList list_;
};
