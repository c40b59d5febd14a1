#pragma once
// One report (the main report or a subreport) being laid out: its records in order, its
// groups, its formulas and parameters, and the evaluation scope its formulas run in
// (internal to platform/viewer).
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/common/text.h"
#include "platform/designer/formula_ast.h"
#include "platform/designer/formula_check.h"
#include "platform/viewer/data.h"
#include "platform/viewer/engine.h"
#include "platform/viewer/evaluator.h"

namespace designer {
class Report;
class DatabaseTable;
class FormulaFieldDefinition;
class PictureObject;
class ReportObject;
}  // namespace designer

namespace viewer::detail {

using ValueMap = std::map<std::string, Value, tolvaran::NoCaseLess>;

// What one rendering shares between the main report and its subreports, on every pass.
class RenderContext {
  public:
    explicit RenderContext(const RenderOptions& options);

    RenderOptions options;
    double now = 0;

    // The rows of a table, read once for every pass and run; null with the reason in error
    // when they cannot be read.
    struct TableData {
        std::shared_ptr<const TableRows> rows;
        std::string error;
    };
    const TableData& Table(const designer::DatabaseTable& table);
    // The parameter values of a report, asked for once.
    const ValueMap& Parameters(const designer::Report& report);
    // A picture's bytes, shared by every page that shows it.
    std::shared_ptr<const std::vector<unsigned char>> Picture(const designer::PictureObject& picture);
    // The picture file in a stored value of a table's rows (an OLE object unwrapped), shared
    // by every page that shows it; empty when it holds none.
    std::shared_ptr<const std::vector<unsigned char>> Picture(const vb::Variant& stored);

    // The line height of an object's font in twips, as the measure of the options gives it,
    // asked once per object.
    long LineHeightOf(const designer::ReportObject& object);

    // Notes for the document, each once.
    void Note(const std::string& note);
    const std::vector<std::string>& Notes() const { return notes_; }

    // State of the pass being laid out.
    long page = 1;                 // 1-based number of the page being filled
    long totalPages = 0;           // known on the second pass
    bool totalPagesAsked = false;  // a formula asked for TotalPageCount
    long pageQueries = 0;          // reads of PageNumber and TotalPageCount so far
    long variableUses = 0;         // uses of Global and Shared variables so far
    Variables shared;              // Shared variables of formulas
    int depth = 0;                 // subreports nested inside the report being laid out

  private:
    RecordSource* source_;
    AdoRecordSource ownSource_;
    std::map<const designer::DatabaseTable*, TableData> tables_;
    std::map<const designer::Report*, ValueMap> parameters_;
    std::map<const designer::PictureObject*, std::shared_ptr<const std::vector<unsigned char>>> pictures_;
    std::map<const vb::Variant*, std::shared_ptr<const std::vector<unsigned char>>> storedPictures_;
    std::unordered_map<const designer::ReportObject*, long> lineHeights_;
    std::vector<std::string> notes_;
    std::set<std::string> noted_;
};

class ReportRun : public EvalScope {
  public:
    ReportRun(const designer::Report& report, RenderContext& ctx);

    const designer::Report& Model() const { return report_; }
    RenderContext& Context() { return ctx_; }
    // Why the records could not be read; empty when they were. Without records the run has
    // one record whose database fields show their names.
    const std::string& Unreachable() const { return unreachable_; }
    bool Placeholders() const { return !unreachable_.empty(); }

    // The records to lay out: all, or those whose fields (reference bodies) equal the values
    // (or read as the same text). Rows are looked up by the first field through an index made
    // on first use, so each selection costs what it finds, not the size of the table.
    void SelectAll();
    void SelectLinked(const std::vector<std::pair<std::string, Value>>& links);
    size_t Count() const { return selection_.size(); }
    void SetCurrent(size_t k);
    size_t Current() const { return current_; }

    // Groups, 0 the outermost: whether selected record k starts or ends a group at level.
    int GroupLevels() const { return static_cast<int>(groupKeys_.size()); }
    bool StartsGroup(int level, size_t k) const;
    bool EndsGroup(int level, size_t k) const;
    std::string GroupLabel(int level, size_t k);

    // A field object's reference ("{T.F}", "{@F}", "{?P}") worked out once per spelling: what it
    // names, and the column that decides whether it shows fractional amounts. Valid while the
    // run lives.
    struct Reference;
    const Reference& Refer(const std::string& reference);
    // The value of a reference at the current record.
    Value ReferenceValue(const Reference& reference);
    // The stored value of a database field's reference at the current record as the table
    // gave it; nullptr for formulas, parameters and fields that are not there.
    const vb::Variant* StoredValue(const Reference& reference);
    // Whether a reference shows a column of fractional amounts: a database field stored as
    // doubles at the current record, or a formula that is such a field or its Sum, Average,
    // Maximum or Minimum.
    bool ShowsFractionalColumn(const Reference& reference);
    // The name a field object shows in place of its value when the records could not be read:
    // a database field's name; empty for formulas and parameters, which are evaluated.
    const std::string& PlaceholderName(const Reference& reference);
    // A section begins: formula values are worked out once per section and record.
    void BeginSection() { ++section_; }

    // EvalScope.
    Value Field(const std::string& body) override;
    Value Formula(const std::string& name) override;
    Value Parameter(const std::string& name) override;
    double Now() override { return ctx_.now; }
    long PageNumber() override;
    long TotalPageCount() override;
    long RecordNumber() override { return static_cast<long>(current_) + 1; }
    long GroupNumber() override;
    bool OnFirstRecord() override { return current_ == 0; }
    bool OnLastRecord() override { return current_ + 1 >= selection_.size(); }
    Value Summary(const std::string& function, const designer::FormulaNode& expression,
                  const designer::FormulaNode* group, const std::string& condition) override;
    Value Neighbour(const designer::FormulaNode& expression, int offset) override;
    std::string GroupName(const designer::FormulaNode& field, const std::string& condition) override;
    Variables& Globals() override {
        ++ctx_.variableUses;
        return globals_;
    }
    Variables& Shared() override {
        ++ctx_.variableUses;
        return ctx_.shared;
    }

  private:
    struct Column {
        int index = -1;  // in the driving table's rows; -1: not there (Null)
        int valueType = 255;
    };
    // A formula field of the report, found once for every spelling of its name.
    struct FormulaSlot {
        const designer::FormulaFieldDefinition* def = nullptr;
        std::unique_ptr<designer::ParsedFormula> parsed;  // on first use
        bool evaluating = false;
        // The value worked out for a record in a section, while the selection stands.
        bool cached = false;
        long selection = 0;
        size_t record = 0;
        long section = 0;
        Value value;
    };

  public:
    struct Reference {
        enum class Kind { None, Field, Formula, Parameter };
        Kind kind = Kind::None;
        std::string name;                // the field's body, or the formula's or parameter's name
        const Column* column = nullptr;  // Field
        FormulaSlot* formula = nullptr;  // Formula; null when the report has no such formula
        std::string placeholder;         // Field: what shows when the records cannot be read
        // Decided on first use: the column whose stored doubles make it a fractional column.
        mutable bool looked = false;
        mutable const Column* fractional = nullptr;
    };

  private:
    // Names are looked up without regard to case once for each spelling the report uses; a
    // lookup after that is one hash of the text.
    const Column& Resolve(const std::string& body);
    FormulaSlot* FormulaNamed(const std::string& name);
    const designer::ParsedFormula& Parsed(FormulaSlot& slot);
    Value FormulaValue(FormulaSlot* slot, const std::string& name);
    Value ColumnValue(const Column& column, size_t row) const;
    // The current record's stored value in the column; nullptr when there is none.
    const vb::Variant* StoredAt(const Column* column) const;
    Value ValueAtRow(size_t row, const std::string& body);
    Value EvaluateExpression(const designer::FormulaNode& expression);
    Value GroupKey(int level, size_t row);
    int LevelOf(const std::string& body, const std::string& condition) const;
    void Select(std::vector<size_t> rows);
    void ComputeGroups();
    // Places in order_ of the rows whose field equals the value or reads as its text, in order.
    std::vector<size_t> LinkedPlaces(const std::string& body, const Value& value);

    const designer::Report& report_;
    RenderContext& ctx_;
    designer::FormulaSymbols symbols_;
    std::string unreachable_;
    std::shared_ptr<const TableRows> rows_;                  // the driving table (the report's first)
    std::string table_;                                      // its name
    std::unordered_map<std::string, Column> columns_;        // by the body as written
    std::unordered_map<std::string, Reference> references_;  // by the reference as written

    std::vector<size_t> order_;      // every row in report order
    std::vector<size_t> selection_;  // the rows laid out, in report order
    std::vector<long> positionOf_;   // per row, its place in the selection (-1: not selected)
    size_t current_ = 0;

    // A database field's value in every row, for linked selections: places in order_ by the
    // value (values that compare equal share a place list) and, for those not Null, by its text.
    struct ValueLess {
        bool operator()(const Value& a, const Value& b) const { return Compare(a, b) < 0; }
    };
    struct LinkIndex {
        std::map<Value, std::vector<size_t>, ValueLess> byValue;
        std::unordered_map<std::string, std::vector<size_t>> byText;
    };
    std::map<std::string, LinkIndex, tolvaran::NoCaseLess> linkIndexes_;  // by reference body

    std::vector<std::string> groupFields_;         // reference bodies of the groups
    std::vector<std::vector<Value>> groupKeys_;    // per level, per row
    std::vector<std::vector<size_t>> groupStart_;  // per level, per selected record
    std::vector<std::vector<size_t>> groupEnd_;    // per level, per selected record (last one)
    std::vector<long> groupNumber_;                // per selected record, innermost level

    std::map<const designer::FormulaFieldDefinition*, FormulaSlot> formulas_;
    std::unordered_map<std::string, FormulaSlot*> formulaNamed_;  // by the name as written; null: none
    long selections_ = 0;  // selections made so far: a formula value belongs to one
    long section_ = 0;
    std::map<std::tuple<const designer::FormulaNode*, std::string, size_t, size_t>, Value> summaries_;
    Variables globals_;
};

}  // namespace viewer::detail
