#pragma once

#include "app/ScreenMetrics.h"
#include "catalogue/CatalogueEntry.h"
#include "catalogue/CatalogueGrouping.h"
#include "catalogue/GroupBy.h"
#include "catalogue/PartWalk.h"

#include <QWidget>
#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

namespace app {
class TemplateList;
}

namespace catalogue {

// The catalogue window ("Templates..."): every installed template in a flat list or grouped by
// category or by the object maker's site, the details of the selected one, its parts, and OK to
// take a template and part into the main window. The view chosen is kept in the settings
// "Last Time"/"Categorized" and "Sort By".
//
// The flat list, the group lists and the member lists keep one selection: picking a template
// anywhere selects it in the others and expands its groups, so that switching the view shows it.
class CatalogueWindow : public QWidget {
    Q_OBJECT

public:
    // The template list is the main window's; the catalogue reads it again when it opens and
    // lists its entries in its order.
    CatalogueWindow(app::TemplateList& templates, const app::ScreenMetrics& metrics, QWidget* parent = nullptr);
    ~CatalogueWindow() override;

    // Reads the template list again, scans the templates (from the cache where they did not
    // change; a scan that takes longer than half a second shows a progress dialog that can be
    // cancelled), selects the template the main window shows and restores the view. False when
    // the scan was cancelled: the window is then not to be shown.
    bool open();

    const std::vector<CatalogueEntry>& entries() const { return m_entries; }
    // The entry whose details are shown, -1 before any.
    int selectedEntry() const;
    const TemplateDetails& shownDetails() const { return m_detail.details(); }

signals:
    // OK: the template (its position in the template list) and the part (a frame from 0).
    void templateChosen(int templateIndex, int part);

private:
    void createControls();
    QLabel* addLabel(const QString& text, const QString& objectName, const QRectF& twips);
    QLineEdit* addField(const QString& objectName, const QRectF& twips);
    QListWidget* addList(const QString& objectName, const QRectF& twips);
    QGroupBox* addFrame(const QString& title, const QString& objectName, const QRectF& twips);
    void place(QWidget* widget, const QRectF& twips);

    void restoreView();
    void sortOut();
    void onCategorizedClicked(bool checked);
    void onGroupByActivated(int index);

    // The handlers of the lists, run for the user's selections and for the cascades alike.
    void selectTemplate(int entry);
    void expandGroup(GroupBy by, int group);
    void onMemberSelected(GroupBy by, int row);
    void bringGroupsInLine(int entry);
    void onPartActivated(int part);

    void showDetails();
    void enableDetails(bool enable, bool leavePartBox);
    void openSite(const QString& address);

    void accept();

    static int slot(GroupBy by) { return by == GroupBy::Category ? 0 : 1; }

    app::TemplateList& m_templates;
    app::ScreenMetrics m_metrics;
    std::vector<CatalogueEntry> m_entries;
    CatalogueGrouping m_grouping;
    PartWalk m_detail;
    // Per grouping, the group whose members were last listed (-2 when the window opens) and
    // the entry behind each line of the member list.
    std::array<int, 2> m_expandedGroup {-2, -2};
    std::array<QList<int>, 2> m_memberEntries;

    QListWidget* m_templateList = nullptr;
    QComboBox* m_groupBy = nullptr;
    std::array<QListWidget*, 2> m_groupLists {};
    std::array<QListWidget*, 2> m_memberLists {};
    QCheckBox* m_categorized = nullptr;

    QGroupBox* m_objectFrame = nullptr;
    QGroupBox* m_templateFrame = nullptr;
    QGroupBox* m_optionsFrame = nullptr;
    QList<QLabel*> m_detailLabels; // the labels that are disabled with the details
    QLineEdit* m_titleField = nullptr;
    QLineEdit* m_priceField = nullptr;
    QPlainTextEdit* m_descriptionField = nullptr;
    QLineEdit* m_categoryField = nullptr;
    QLineEdit* m_objectMakerField = nullptr;
    QToolButton* m_objectMakerSiteButton = nullptr;
    QComboBox* m_partBox = nullptr;
    QListWidget* m_guidList = nullptr;
    QLineEdit* m_tilesField = nullptr;
    QLineEdit* m_sizeField = nullptr;
    QLineEdit* m_templateMakerField = nullptr;
    QToolButton* m_templateMakerSiteButton = nullptr;
    QListWidget* m_optionList = nullptr;
};

} // namespace catalogue
