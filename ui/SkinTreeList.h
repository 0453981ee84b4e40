#pragma once
// The report list: rows of texts under column headers, one row selected at a time. Column widths are
// fractions of the control's width and follow it when it changes. Clicks and double clicks notify the
// window with the row (NotifyCode::Click / DoubleClick, -1 below the last row).
#include <QTreeWidget>

#include <vector>

struct SkinControl;

class CSkinTreeList : public QTreeWidget {
    Q_OBJECT
public:
    // Headers from the skin control's items; columns of equal width until told otherwise.
    CSkinTreeList(const SkinControl& control, QWidget* parent);

    void SetColumns(const QStringList& headers);
    // One fraction of the width per column, e.g. {2 / 3.0, 1 / 3.0}; missing ones share what is left.
    void SetColumnProportions(const std::vector<double>& proportions);

    // Appends a row (one text per column) and returns its index.
    int AddRow(const QStringList& texts);
    int RowCount() const { return topLevelItemCount(); }
    void SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    // -1 when no row is selected.
    int SelectedRow() const;
    // Selects the row (-1 clears the selection).
    void SelectRow(int row);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void ApplyProportions();

    std::vector<double> proportions_;
};
