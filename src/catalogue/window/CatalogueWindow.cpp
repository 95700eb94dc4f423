#include "catalogue/window/CatalogueWindow.h"

#include "app/TemplateList.h"
#include "app/TemplateSite.h"
#include "catalogue/CatalogueScan.h"
#include "catalogue/DetailCache.h"
#include "catalogue/WebAddress.h"
#include "platform/DesktopLauncher.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <memory>

namespace catalogue {

namespace {

const QString LastTime = QStringLiteral("Last Time");
const QString CategorizedKey = QStringLiteral("Categorized");
const QString SortByKey = QStringLiteral("Sort By");

// A scan that has run this long shows its progress.
constexpr qint64 ProgressDelayMilliseconds = 500;

// The window's layout in twips.
constexpr double ClientWidth = 11655;
constexpr double ClientHeight = 4815;
const QRectF FlatListArea(120, 120, 4455, 4155);
const QRectF GroupByArea(120, 120, 4455, 315);
const QRectF GroupListArea(120, 480, 4455, 1815);
const QRectF MemberListArea(120, 2400, 4455, 1815);
const QRectF ObjectFrameArea(4695, 60, 3975, 4215);
const QRectF TemplateFrameArea(8790, 60, 2745, 1095);
const QRectF OptionsFrameArea(8790, 1275, 2745, 3000);
const QRectF CategorizedArea(120, 4395, 1575, 315);
const QRectF GetMoreArea(4695, 4395, 1215, 345);
const QRectF OkArea(8985, 4395, 1215, 345);
const QRectF CancelArea(10320, 4395, 1215, 345);
constexpr double SiteButtonSide = 255;

// A rectangle given relative to a frame's corner.
QRectF within(const QRectF& frame, double left, double top, double width, double height)
{
    return QRectF(frame.left() + left, frame.top() + top, width, height);
}

// The rows of the "Object" frame: label and field tops, and the field heights.
struct ObjectRow {
    double top;
    double height;
};
constexpr double ObjectLabelLeft = 120;
constexpr double ObjectLabelWidth = 1095;
constexpr double ObjectFieldLeft = 1260;
constexpr double ObjectFieldWidth = 2595;
constexpr ObjectRow TitleRow {240, 300};
constexpr ObjectRow PriceRow {600, 300};
constexpr ObjectRow DescriptionRow {960, 915};
constexpr ObjectRow CategoryRow {1935, 300};
constexpr ObjectRow ObjectMakerRow {2295, 300};
constexpr ObjectRow PartRow {2655, 315};
constexpr ObjectRow GuidRow {3030, 735};
constexpr ObjectRow TilesRow {3825, 300};

constexpr double TemplateLabelLeft = 120;
constexpr double TemplateLabelWidth = 615;
constexpr double TemplateFieldLeft = 780;
constexpr double TemplateFieldWidth = 1845;
constexpr ObjectRow SizeRow {240, 300};
constexpr ObjectRow TemplateMakerRow {600, 300};

} // namespace

CatalogueWindow::CatalogueWindow(app::TemplateList& templates, const app::ScreenMetrics& metrics, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_templates(templates)
    , m_metrics(metrics)
{
    setObjectName(QStringLiteral("catalogueWindow"));
    setWindowTitle(QStringLiteral("Templates..."));
    setAttribute(Qt::WA_DeleteOnClose);
    createControls();
}

CatalogueWindow::~CatalogueWindow() = default;

void CatalogueWindow::place(QWidget* widget, const QRectF& twips)
{
    widget->setGeometry(m_metrics.pixelRect(twips));
}

QLabel* CatalogueWindow::addLabel(const QString& text, const QString& objectName, const QRectF& twips)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    place(label, twips);
    return label;
}

QLineEdit* CatalogueWindow::addField(const QString& objectName, const QRectF& twips)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(objectName);
    field->setReadOnly(true);
    place(field, twips);
    return field;
}

QListWidget* CatalogueWindow::addList(const QString& objectName, const QRectF& twips)
{
    auto* list = new QListWidget(this);
    list->setObjectName(objectName);
    place(list, twips);
    return list;
}

QGroupBox* CatalogueWindow::addFrame(const QString& title, const QString& objectName, const QRectF& twips)
{
    // The frames only draw the border and title around their fields: the fields are the
    // window's own, so that a field a frame holds keeps its own enabled state.
    auto* frame = new QGroupBox(title, this);
    frame->setObjectName(objectName);
    place(frame, twips);
    frame->lower();
    return frame;
}

void CatalogueWindow::createControls()
{
    setFixedSize(m_metrics.pixelRect(QRectF(0, 0, ClientWidth, ClientHeight)).size());

    // The left column: the flat list, or the choice of grouping with a group and a member list.
    m_templateList = addList(QStringLiteral("templateList"), FlatListArea);
    m_groupBy = new QComboBox(this);
    m_groupBy->setObjectName(QStringLiteral("groupByBox"));
    m_groupBy->addItems({QStringLiteral("Sort"), QStringLiteral("Object From")});
    m_groupBy->setCurrentIndex(-1);
    place(m_groupBy, GroupByArea);
    m_groupLists[slot(GroupBy::Category)] = addList(QStringLiteral("categoryList"), GroupListArea);
    m_memberLists[slot(GroupBy::Category)] = addList(QStringLiteral("categoryMemberList"), MemberListArea);
    m_groupLists[slot(GroupBy::ObjectMakerSite)] = addList(QStringLiteral("siteList"), GroupListArea);
    m_memberLists[slot(GroupBy::ObjectMakerSite)] = addList(QStringLiteral("siteMemberList"), MemberListArea);

    // The frame "Object".
    m_objectFrame = addFrame(QStringLiteral("Object"), QStringLiteral("objectFrame"), ObjectFrameArea);
    const auto objectLabel = [this](const QString& text, const QString& name, ObjectRow row) {
        return addLabel(text, name, within(ObjectFrameArea, ObjectLabelLeft, row.top, ObjectLabelWidth, row.height));
    };
    const auto objectField = [](ObjectRow row, double width = ObjectFieldWidth) {
        return within(ObjectFrameArea, ObjectFieldLeft, row.top, width, row.height);
    };
    m_detailLabels.append(objectLabel(QStringLiteral("Title:"), QStringLiteral("titleLabel"), TitleRow));
    m_titleField = addField(QStringLiteral("titleField"), objectField(TitleRow));
    m_detailLabels.append(objectLabel(QStringLiteral("Price:"), QStringLiteral("priceLabel"), PriceRow));
    m_priceField = addField(QStringLiteral("priceField"), objectField(PriceRow));
    m_detailLabels.append(objectLabel(QStringLiteral("Description:"), QStringLiteral("descriptionLabel"), DescriptionRow));
    m_descriptionField = new QPlainTextEdit(this);
    m_descriptionField->setObjectName(QStringLiteral("descriptionField"));
    m_descriptionField->setReadOnly(true);
    m_descriptionField->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    place(m_descriptionField, objectField(DescriptionRow));
    m_detailLabels.append(objectLabel(QStringLiteral("Sort:"), QStringLiteral("categoryLabel"), CategoryRow));
    m_categoryField = addField(QStringLiteral("categoryField"), objectField(CategoryRow));
    m_detailLabels.append(objectLabel(QStringLiteral("From:"), QStringLiteral("objectMakerLabel"), ObjectMakerRow));
    m_objectMakerField = addField(QStringLiteral("objectMakerField"), objectField(ObjectMakerRow, ObjectFieldWidth - SiteButtonSide - 60));
    m_detailLabels.append(objectLabel(QStringLiteral("Part:"), QStringLiteral("partLabel"), PartRow));
    m_partBox = new QComboBox(this);
    m_partBox->setObjectName(QStringLiteral("partBox"));
    place(m_partBox, objectField(PartRow));
    objectLabel(QStringLiteral("GUID(s):"), QStringLiteral("guidLabel"), GuidRow);
    m_guidList = addList(QStringLiteral("guidList"), objectField(GuidRow));
    objectLabel(QStringLiteral("Tile(s):"), QStringLiteral("tilesLabel"), TilesRow);
    m_tilesField = addField(QStringLiteral("tilesField"), objectField(TilesRow));

    const QIcon siteIcon = style()->standardIcon(QStyle::SP_ArrowRight);
    const auto siteButton = [this, &siteIcon](const QString& name, const QString& tip, const QRectF& twips) {
        auto* button = new QToolButton(this);
        button->setObjectName(name);
        button->setIcon(siteIcon);
        button->setToolTip(tip);
        button->setAutoRaise(true);
        place(button, twips);
        return button;
    };
    const double objectButtonLeft = ObjectFieldLeft + ObjectFieldWidth - SiteButtonSide;
    m_objectMakerSiteButton = siteButton(QStringLiteral("objectMakerSiteButton"), QStringLiteral("Object maker's site"),
                                         within(ObjectFrameArea, objectButtonLeft, ObjectMakerRow.top + 22, SiteButtonSide, SiteButtonSide));

    // The frame "Template".
    m_templateFrame = addFrame(QStringLiteral("Template"), QStringLiteral("templateFrame"), TemplateFrameArea);
    m_detailLabels.append(addLabel(QStringLiteral("Size:"), QStringLiteral("sizeLabel"),
                                   within(TemplateFrameArea, TemplateLabelLeft, SizeRow.top, TemplateLabelWidth, SizeRow.height)));
    m_sizeField = addField(QStringLiteral("sizeField"),
                           within(TemplateFrameArea, TemplateFieldLeft, SizeRow.top, TemplateFieldWidth, SizeRow.height));
    m_detailLabels.append(addLabel(QStringLiteral("From:"), QStringLiteral("templateMakerLabel"),
                                   within(TemplateFrameArea, TemplateLabelLeft, TemplateMakerRow.top, TemplateLabelWidth,
                                          TemplateMakerRow.height)));
    m_templateMakerField = addField(QStringLiteral("templateMakerField"),
                                    within(TemplateFrameArea, TemplateFieldLeft, TemplateMakerRow.top,
                                           TemplateFieldWidth - SiteButtonSide - 60, TemplateMakerRow.height));
    const double templateButtonLeft = TemplateFieldLeft + TemplateFieldWidth - SiteButtonSide;
    m_templateMakerSiteButton =
        siteButton(QStringLiteral("templateMakerSiteButton"), QStringLiteral("Template maker's site"),
                   within(TemplateFrameArea, templateButtonLeft, TemplateMakerRow.top + 22, SiteButtonSide, SiteButtonSide));

    // The frame "Template Options".
    m_optionsFrame = addFrame(QStringLiteral("Template Options"), QStringLiteral("optionsFrame"), OptionsFrameArea);
    m_optionList = addList(QStringLiteral("optionList"), within(OptionsFrameArea, 120, 240, 2505, 2640));

    // The bottom row.
    m_categorized = new QCheckBox(QStringLiteral("Categorized"), this);
    m_categorized->setObjectName(QStringLiteral("categorizedBox"));
    place(m_categorized, CategorizedArea);
    auto* getMore = new QPushButton(QStringLiteral("Get More"), this);
    getMore->setObjectName(QStringLiteral("getMoreButton"));
    place(getMore, GetMoreArea);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    place(ok, OkArea);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    place(cancel, CancelArea);

    // Until a template is selected the details are disabled.
    enableDetails(false, false);
    sortOut();

    connect(m_templateList, &QListWidget::currentRowChanged, this, &CatalogueWindow::selectTemplate);
    for (GroupBy by : {GroupBy::Category, GroupBy::ObjectMakerSite}) {
        connect(m_groupLists[slot(by)], &QListWidget::currentRowChanged, this, [this, by](int row) { expandGroup(by, row); });
        connect(m_memberLists[slot(by)], &QListWidget::currentRowChanged, this,
                [this, by](int row) { onMemberSelected(by, row); });
    }
    connect(m_categorized, &QCheckBox::clicked, this, &CatalogueWindow::onCategorizedClicked);
    connect(m_groupBy, &QComboBox::activated, this, &CatalogueWindow::onGroupByActivated);
    connect(m_partBox, &QComboBox::activated, this, &CatalogueWindow::onPartActivated);
    connect(m_objectMakerSiteButton, &QToolButton::clicked, this, [this] { openSite(m_detail.details().objectMakerSite); });
    connect(m_templateMakerSiteButton, &QToolButton::clicked, this,
            [this] { openSite(m_detail.details().templateMakerSite); });
    connect(getMore, &QPushButton::clicked, this, [this] { openSite(app::templateSitePage()); });
    connect(ok, &QPushButton::clicked, this, &CatalogueWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

bool CatalogueWindow::open()
{
    // The list is read again: templates installed meanwhile are listed, and the main window's
    // template stays selected by its name.
    m_templates.refresh();

    m_entries.clear();
    m_grouping.clear();
    m_expandedGroup = {-2, -2};
    for (QListWidget* list : {m_templateList, m_groupLists[0], m_groupLists[1], m_memberLists[0], m_memberLists[1]}) {
        const QSignalBlocker blocker(list);
        list->clear();
    }
    m_memberEntries = {};

    std::vector<TemplateFile> files;
    files.reserve(size_t(m_templates.count()));
    for (int index = 0; index < m_templates.count(); ++index)
        files.push_back({m_templates.fileName(index), m_templates.filePath(index)});

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProgressDialog> progress;
    const auto showProgress = [&](int done, int total) {
        if (!progress && clock.elapsed() > ProgressDelayMilliseconds) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Reading the templates..."), QStringLiteral("Cancel"),
                                                         0, total, parentWidget());
            progress->setObjectName(QStringLiteral("catalogueProgress"));
            progress->setWindowTitle(windowTitle());
            progress->setWindowModality(Qt::ApplicationModal);
            progress->setMinimumDuration(0);
            progress->show();
        }
        if (!progress)
            return true;
        progress->setValue(done);
        QCoreApplication::processEvents();
        return !progress->wasCanceled();
    };
    DetailCache cache;
    ScanResult scan = CatalogueScan(&cache).run(files, showProgress);
    progress.reset();
    if (scan.cancelled)
        return false;

    m_entries = std::move(scan.entries);
    {
        const QSignalBlocker blocker(m_templateList);
        for (const CatalogueEntry& entry : m_entries) {
            m_templateList->addItem(entry.displayName);
            m_grouping.add(entry.details.groupCategory, entry.details.groupSiteName);
        }
    }
    for (GroupBy by : {GroupBy::Category, GroupBy::ObjectMakerSite}) {
        const QSignalBlocker blocker(m_groupLists[slot(by)]);
        m_groupLists[slot(by)]->addItems(m_grouping.groups(by));
    }

    const int current = m_templates.currentIndex();
    if (current >= 0 && current < int(m_entries.size()))
        selectTemplate(current);
    restoreView();
    return true;
}

void CatalogueWindow::restoreView()
{
    // A setting that is no valid value leaves the view as it is.
    bool isNumber = false;
    const int categorized = platform::getSetting(LastTime, CategorizedKey, QStringLiteral("0")).trimmed().toInt(&isNumber);
    if (isNumber && (categorized == 0 || categorized == 1))
        m_categorized->setChecked(categorized == 1);
    const int sortBy = platform::getSetting(LastTime, SortByKey, QStringLiteral("0")).trimmed().toInt(&isNumber);
    if (isNumber && sortBy >= -1 && sortBy < m_groupBy->count())
        m_groupBy->setCurrentIndex(sortBy);
    sortOut();
}

void CatalogueWindow::sortOut()
{
    const bool grouped = m_categorized->isChecked();
    const int by = m_groupBy->currentIndex();
    m_templateList->setVisible(!grouped);
    m_groupBy->setVisible(grouped);
    for (GroupBy each : {GroupBy::Category, GroupBy::ObjectMakerSite}) {
        const bool shown = grouped && by == int(each);
        m_groupLists[slot(each)]->setVisible(shown);
        m_memberLists[slot(each)]->setVisible(shown);
    }
}

void CatalogueWindow::onCategorizedClicked(bool checked)
{
    platform::saveSetting(LastTime, CategorizedKey, checked ? QStringLiteral("1") : QStringLiteral("0"));
    sortOut();
}

void CatalogueWindow::onGroupByActivated(int index)
{
    platform::saveSetting(LastTime, SortByKey, QString::number(index));
    sortOut();
}

int CatalogueWindow::selectedEntry() const
{
    return m_templateList->currentRow();
}

void CatalogueWindow::selectTemplate(int entry)
{
    if (entry < 0 || entry >= int(m_entries.size()))
        return;
    if (m_templateList->currentRow() != entry) {
        const QSignalBlocker blocker(m_templateList);
        m_templateList->setCurrentRow(entry);
    }
    bringGroupsInLine(entry);
    enableDetails(false, false);
    // The scan has read the template as the detail player would: its details are shown from
    // there, and the movie is loaded only when a part is picked.
    m_detail.resume(m_entries[size_t(entry)].path, m_entries[size_t(entry)].details);
    showDetails();
    enableDetails(true, true);
    m_partBox->setEnabled(!m_detail.details().parts.isEmpty());
}

void CatalogueWindow::bringGroupsInLine(int entry)
{
    for (GroupBy by : {GroupBy::Category, GroupBy::ObjectMakerSite}) {
        QListWidget* members = m_memberLists[slot(by)];
        if (m_memberEntries[slot(by)].value(members->currentRow(), -1) == entry)
            continue;
        const int group = m_grouping.groupOf(by, entry);
        {
            const QSignalBlocker blocker(m_groupLists[slot(by)]);
            m_groupLists[slot(by)]->setCurrentRow(group);
        }
        expandGroup(by, group);
        // The member line of this very entry, also when another template has the same name.
        const int line = int(m_memberEntries[slot(by)].indexOf(entry));
        {
            const QSignalBlocker blocker(members);
            members->setCurrentRow(line);
        }
        onMemberSelected(by, line);
    }
}

void CatalogueWindow::expandGroup(GroupBy by, int group)
{
    QListWidget* groups = m_groupLists[slot(by)];
    QListWidget* members = m_memberLists[slot(by)];
    if (m_expandedGroup[slot(by)] == group && groups->isVisibleTo(this))
        return;
    m_expandedGroup[slot(by)] = group;
    m_memberEntries[slot(by)] = m_grouping.members(by, group);
    {
        const QSignalBlocker blocker(members);
        members->clear();
        for (int entry : std::as_const(m_memberEntries[slot(by)]))
            members->addItem(m_entries[size_t(entry)].displayName);
    }
    if (members->isVisibleTo(this) && members->count() > 0) {
        {
            const QSignalBlocker blocker(members);
            members->setCurrentRow(0);
        }
        onMemberSelected(by, 0);
    }
}

void CatalogueWindow::onMemberSelected(GroupBy by, int row)
{
    const int entry = m_memberEntries[slot(by)].value(row, -1);
    if (entry >= 0 && m_templateList->currentRow() != entry)
        selectTemplate(entry);
}

void CatalogueWindow::onPartActivated(int part)
{
    m_detail.selectPart(part);
    showDetails();
}

void CatalogueWindow::showDetails()
{
    const TemplateDetails& details = m_detail.details();
    // A text longer than its field shows its beginning.
    const auto show = [](QLineEdit* field, const QString& text) {
        field->setText(text);
        field->setCursorPosition(0);
    };
    show(m_titleField, details.title);
    show(m_priceField, details.price);
    m_descriptionField->setPlainText(details.description);
    show(m_categoryField, details.category);
    show(m_objectMakerField, details.objectMakerSiteName);
    show(m_templateMakerField, details.templateMakerSiteName);
    show(m_tilesField, details.tiles);
    show(m_sizeField, details.size);
    m_guidList->clear();
    m_guidList->addItems(details.guids);
    m_optionList->clear();
    m_optionList->addItems(details.options);
    const QSignalBlocker blocker(m_partBox);
    m_partBox->clear();
    m_partBox->addItems(details.parts);
    m_partBox->setCurrentIndex(details.selectedPart);
}

void CatalogueWindow::enableDetails(bool enable, bool leavePartBox)
{
    // The tile count and its label stay enabled; so does the GUID list's label.
    for (QWidget* widget : std::initializer_list<QWidget*>{m_objectFrame, m_titleField, m_priceField, m_descriptionField,
                                                           m_categoryField, m_objectMakerField, m_templateFrame, m_sizeField,
                                                           m_templateMakerField, m_optionsFrame, m_optionList, m_guidList})
        widget->setEnabled(enable);
    for (QLabel* label : std::as_const(m_detailLabels))
        label->setEnabled(enable);
    if (!leavePartBox)
        m_partBox->setEnabled(enable);
}

void CatalogueWindow::openSite(const QString& address)
{
    // A failure to open is not reported, and an address that is no web address is not opened.
    if (!isWebAddress(address))
        return;
    platform::LaunchRequest request;
    request.target = address.trimmed();
    platform::launch(request);
}

void CatalogueWindow::accept()
{
    const int entry = m_templateList->currentRow();
    const int part = std::max(0, m_partBox->currentIndex());
    emit templateChosen(entry, part);
    close();
}

} // namespace catalogue
