#include "shell/report_windows/designer_window.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeWidget>

#include "platform/common/com_error.h"
#include "platform/designer/report.h"
#include "platform/ui/prompt.h"
#include "shell/qt/qt_text.h"
#include "shell/qt/screen_fit.h"
#include "shell/report_windows/report_viewer_control.h"

namespace tolvaran {

namespace {

constexpr const char* kTitle = "Tolvaran Designer";

QTreeWidgetItem* Node(QTreeWidgetItem* parent, const std::string& name, const std::string& detail = {}) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, Q(name));
    item->setText(1, Q(detail));
    item->setToolTip(1, Q(detail));
    return item;
}

std::string Place(long left, long top, long width, long height) {
    return "at " + std::to_string(left) + ", " + std::to_string(top) + "; " + std::to_string(width) + " x " +
           std::to_string(height) + " twips";
}

const char* ConditionName(int condition) {
    static constexpr const char* kNames[] = {"daily",     "weekly",    "biweekly",     "semimonthly",
                                             "monthly",   "quarterly", "semiannually", "annually",
                                             "by second", "by minute", "by hour",      "AM/PM",
                                             "every yes", "every no",  "each value"};
    return condition >= 0 && condition <= 14 ? kNames[condition] : "?";
}

const char* Direction(int direction) {
    return direction == designer::crDescendingOrder ? "descending" : "ascending";
}

std::string Flags(bool suppress, bool keepTogether = false) {
    std::string out;
    if (suppress) out += " (suppressed)";
    if (keepTogether) out += " (kept together)";
    return out;
}

std::string ObjectDetail(const designer::ReportObject& o) {
    std::string detail = Place(o.Left, o.Top, o.Width, o.Height);
    switch (o.Kind()) {
        case designer::ObjectKind::Text:
            return "text \"" + static_cast<const designer::TextObject&>(o).Text + "\" " + detail;
        case designer::ObjectKind::Field:
            return "field " + static_cast<const designer::FieldObject&>(o).Field + " " + detail;
        case designer::ObjectKind::Line: {
            const auto& l = static_cast<const designer::LineObject&>(o);
            return "line from " + std::to_string(l.Left) + ", " + std::to_string(l.Top) + " to " +
                   std::to_string(l.Right) + ", " + std::to_string(l.Bottom);
        }
        case designer::ObjectKind::Box: {
            const auto& b = static_cast<const designer::BoxObject&>(o);
            return "box from " + std::to_string(b.Left) + ", " + std::to_string(b.Top) + " to " +
                   std::to_string(b.Right) + ", " + std::to_string(b.Bottom);
        }
        case designer::ObjectKind::Picture: {
            const auto& p = static_cast<const designer::PictureObject&>(o);
            return "picture " + (p.SourceFile.empty() ? std::string() : p.SourceFile + " ") + detail;
        }
        case designer::ObjectKind::Subreport:
            return "subreport " + static_cast<const designer::SubreportObject&>(o).SubreportName + " " +
                   detail;
    }
    return detail;
}

}  // namespace

std::string ValueTypeName(int valueType) {
    switch (valueType) {
        case designer::crInt8sField:
        case designer::crInt8uField:
        case designer::crInt16sField:
        case designer::crInt16uField:
        case designer::crInt32sField:
        case designer::crInt32uField:
        case designer::crNumberField:
            return "number";
        case designer::crCurrencyField:
            return "currency";
        case designer::crBooleanField:
            return "boolean";
        case designer::crDateField:
            return "date";
        case designer::crTimeField:
            return "time";
        case designer::crStringField:
            return "string";
        case designer::crTransientMemoField:
        case designer::crPersistentMemoField:
            return "memo";
        case designer::crBlobField:
            return "binary";
        case designer::crDateTimeField:
            return "date-time";
        default:
            return "unknown";
    }
}

DesignerWindow::DesignerWindow(ui::Prompt& prompt, QWidget* parent) : QMainWindow(parent), prompt_(prompt) {
    setObjectName(QStringLiteral("DesignerWindow"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tree_ = new QTreeWidget(splitter);
    tree_->setObjectName(QStringLiteral("ReportStructure"));
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({QStringLiteral("Report"), QStringLiteral("Details")});
    tree_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    tree_->setColumnWidth(0, 290);
    viewer_ = new ReportViewerControl(splitter);
    viewer_->setPrompt(&prompt_);
    splitter->addWidget(tree_);
    splitter->addWidget(viewer_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
    // Two fifths of the window for the tree, the rest for the pages.
    const int width = FitToScreen(*this, {1280, 860}).width();
    splitter->setSizes({width * 2 / 5, width - width * 2 / 5});
}

DesignerWindow::~DesignerWindow() = default;

bool DesignerWindow::Open(const std::string& file) {
    try {
        ado::ConnectionOptions options;
        options.readOnly = true;  // the designer program shows a report's data and changes none of it
        designer::Application application(designer::AdoFieldReader(options));
        application.MaxFileMb = MaxFileMb;
        report_ = std::shared_ptr<designer::Report>(application.OpenReport(file));
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbCritical, kTitle);
        viewer_->ShowEmpty(e.what());
        return false;
    }
    setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(Q(file)).fileName(), QString::fromLatin1(kTitle)));
    tree_->clear();
    // The structure is built apart from the tree and put in whole: items added one by one to
    // a shown tree each tell its view, which costs more than the item.
    auto* root = new QTreeWidgetItem();
    root->setText(0, QFileInfo(Q(file)).fileName());
    root->setText(1, Q(file));
    AddReport(root, *report_);
    tree_->addTopLevelItem(root);
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i) root->child(i)->setExpanded(true);
    viewer_->setReportSource(report_);
    viewer_->ViewReport();
    return true;
}

void DesignerWindow::AddReport(QTreeWidgetItem* parent, const designer::Report& r) {
    bool landscape = r.PaperOrientation == designer::crLandscape;
    long width = landscape ? r.PaperHeight : r.PaperWidth, height = landscape ? r.PaperWidth : r.PaperHeight;
    Node(parent, "Page",
         std::string(landscape ? "landscape, " : "portrait, ") + std::to_string(width) + " x " +
             std::to_string(height) + " twips, margins " + std::to_string(r.LeftMargin) + ", " +
             std::to_string(r.TopMargin) + ", " + std::to_string(r.RightMargin) + ", " +
             std::to_string(r.BottomMargin));

    QTreeWidgetItem* areas = Node(parent, "Areas", std::to_string(r.Areas().Count()));
    for (const auto& area : r.Areas()) {
        QTreeWidgetItem* a = Node(areas, area->Name(), area->Code() + Flags(area->Suppress));
        for (const auto& section : area->Sections()) {
            std::string height = section->Height > 0
                                     ? std::to_string(section->Height)
                                     : std::to_string(section->EffectiveHeight()) + " (by its objects)";
            QTreeWidgetItem* s = Node(a, section->Name(),
                                      "height " + height + Flags(section->Suppress, section->KeepTogether));
            for (const auto& object : section->ReportObjects()) {
                QTreeWidgetItem* o = Node(s, object->Name, ObjectDetail(*object) + Flags(object->Suppress));
                if (object->Kind() != designer::ObjectKind::Subreport) continue;
                const auto& sub = static_cast<const designer::SubreportObject&>(*object);
                QTreeWidgetItem* links = Node(o, "Links", std::to_string(sub.Links.Count()));
                for (const designer::SubreportLink& l : sub.Links)
                    Node(links, l.MainReportField, "-> " + l.SubreportField);
                AddReport(Node(o, "Subreport " + sub.SubreportName), sub.OpenSubreport());
            }
        }
    }

    QTreeWidgetItem* formulas = Node(parent, "Formula Fields", std::to_string(r.FormulaFields().Count()));
    for (const auto& f : r.FormulaFields()) Node(formulas, f->FormulaFieldName(), f->Text());
    QTreeWidgetItem* parameters =
        Node(parent, "Parameter Fields", std::to_string(r.ParameterFields().Count()));
    for (const auto& p : r.ParameterFields()) {
        std::string detail = ValueTypeName(p->ValueType());
        if (!p->Prompt.empty()) detail += ", prompt \"" + p->Prompt + "\"";
        if (!p->DefaultValue.empty()) detail += ", default \"" + p->DefaultValue + "\"";
        Node(parameters, p->ParameterFieldName(), detail);
    }
    QTreeWidgetItem* groups = Node(parent, "Groups", std::to_string(r.GroupCount()));
    int n = 0;
    for (const designer::Group& g : r.Groups())
        Node(groups, "Group " + std::to_string(++n),
             g.ConditionField + ", " + ConditionName(g.Condition) + ", " + Direction(g.SortDirection));
    QTreeWidgetItem* sorts = Node(parent, "Record Sort Fields", std::to_string(r.RecordSortFields().Count()));
    for (const designer::SortField& s : r.RecordSortFields())
        Node(sorts, s.Field, Direction(s.SortDirection));

    QTreeWidgetItem* database =
        Node(parent, "Database", std::to_string(r.Database().Tables().Count()) + " tables");
    for (const auto& t : r.Database().Tables()) {
        const designer::TableSource& src = t->Source();
        std::string where =
            src.SubLocation.empty() ? src.Location : src.Location + " (" + src.SubLocation + ")";
        if (src.Type == designer::crTableTypeStoredProcedure) where = "stored procedure " + where;
        QTreeWidgetItem* table = Node(database, t->Name(), where);
        if (!t->ConnectionString().empty()) Node(table, "Connection", t->ConnectionString());
        if (!t->FieldsKnown()) Node(table, "Fields", "not known (the source could not be read)");
        for (const auto& f : t->Fields()) Node(table, f->Name(), ValueTypeName(f->ValueType()));
    }
    // The links that tie subreports to this report's records.
    QTreeWidgetItem* links = nullptr;
    for (designer::Section* section : r.Sections().List())
        for (const auto& object : section->ReportObjects()) {
            if (object->Kind() != designer::ObjectKind::Subreport) continue;
            const auto& sub = static_cast<const designer::SubreportObject&>(*object);
            for (const designer::SubreportLink& l : sub.Links) {
                if (!links) links = Node(database, "Links");
                Node(links, l.MainReportField, "-> " + l.SubreportField + " of " + sub.SubreportName);
            }
        }
    for (const designer::LogOnInfo& l : r.Database().LogOns())
        Node(database, "Logon", l.ServerName + (l.DatabaseName.empty() ? "" : " / " + l.DatabaseName));
}

}  // namespace tolvaran
