#include "platform/viewer/run.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iterator>

#include "platform/common/com_error.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"
#include "platform/designer/report.h"
#include "platform/designer/util.h"
#include "platform/ui/prompt.h"
#include "platform/viewer/evaluator_internal.h"
#include "platform/viewer/ole_picture.h"
#include "platform/viewer/strip.h"
#include "platform/viewer/text_metrics.h"

namespace viewer::detail {

namespace {

constexpr std::uintmax_t kMaxPictureBytes = 64u << 20;

std::string Body(const std::string& reference) {
    std::string t(tolvaran::TrimBlanks(reference));
    if (t.size() >= 2 && t.front() == '{' && t.back() == '}') return t.substr(1, t.size() - 2);
    return t;
}

// A parameter value from the text a user typed or the report keeps.
Value ParameterFromText(const std::string& text, int valueType) {
    using namespace designer;
    switch (valueType) {
        case crNumberField:
            return Value::Number(vb::Val(text));
        case crCurrencyField:
            return Value::Currency(vb::Val(text));
        case crBooleanField: {
            std::string t = tolvaran::UpperCase(tolvaran::TrimBlanks(text));
            return Value::Boolean(t == "TRUE" || t == "YES" || t == "1" || t == "-1");
        }
        case crDateField:
        case crTimeField:
        case crDateTimeField: {
            double serial = 0;
            bool d = false, t = false;
            if (!ParseDateTimeText(text, serial, d, t)) return Value::Null();
            if (valueType == crDateField) return Value::Date(serial);
            if (valueType == crTimeField) return Value::Time(serial);
            return Value::DateTime(serial);
        }
        default:
            return Value::String(text);
    }
}

// Start of the period a date-time falls in, for groups on dates (designer::GroupCondition).
double Bucket(double serial, int condition) {
    using namespace designer;
    vb::Date date{serial};
    int y, m, d, h, mi, s;
    date.ToParts(y, m, d, h, mi, s);
    double day = std::floor(serial);
    switch (condition) {
        case crGCDaily:
            return day;
        case crGCWeekly:
            return day - (static_cast<long long>(day + 6) % 7 + 7) % 7;  // back to Sunday
        case crGCBiweekly: {
            double sunday = day - (static_cast<long long>(day + 6) % 7 + 7) % 7;
            return sunday - std::fmod(std::fmod((sunday - 1) / 7, 2) + 2, 2) * 7;
        }
        case crGCSemimonthly:
            return vb::Date::FromParts(y, m, d < 16 ? 1 : 16).serial;
        case crGCMonthly:
            return vb::Date::FromParts(y, m, 1).serial;
        case crGCQuarterly:
            return vb::Date::FromParts(y, (m - 1) / 3 * 3 + 1, 1).serial;
        case crGCSemiannually:
            return vb::Date::FromParts(y, m < 7 ? 1 : 7, 1).serial;
        case crGCAnnually:
            return vb::Date::FromParts(y, 1, 1).serial;
        case crGCForSeconds:
            return day + (h * 3600 + mi * 60 + s) / 86400.0;
        case crGCForMinutes:
            return day + (h * 3600 + mi * 60) / 86400.0;
        case crGCForHours:
            return day + h * 3600 / 86400.0;
        case crGCForAMPM:
            return day + (h < 12 ? 0 : 0.5);
        default:
            return serial;
    }
}

}  // namespace

// ---- RenderContext ------------------------------------------------------------------------

RenderContext::RenderContext(const RenderOptions& o)
    : options(o), source_(o.source ? o.source : &ownSource_), ownSource_(o.connections) {
    now = o.now != 0 ? o.now : vb::Date::Now().serial;
}

const RenderContext::TableData& RenderContext::Table(const designer::DatabaseTable& table) {
    auto it = tables_.find(&table);
    if (it != tables_.end()) return it->second;
    TableData data;
    try {
        data.rows = std::make_shared<const TableRows>(source_->Read(table));
    } catch (const std::exception& e) {
        data.error = e.what();
    }
    return tables_.emplace(&table, std::move(data)).first->second;
}

const ValueMap& RenderContext::Parameters(const designer::Report& report) {
    auto it = parameters_.find(&report);
    if (it != parameters_.end()) return it->second;
    ValueMap values;
    for (const auto& p : report.ParameterFields()) {
        std::string text = p->DefaultValue;
        if (report.EnableParameterPrompting && options.prompt) {
            std::string question = p->Prompt.empty() ? "Enter a value for " + p->Name() + ":" : p->Prompt;
            std::string answer =
                options.prompt->InputBox(question, "Enter Parameter Values", p->DefaultValue);
            if (!answer.empty()) text = answer;
        }
        values[p->Name()] =
            text.empty() ? DefaultOf(p->ValueType()) : ParameterFromText(text, p->ValueType());
    }
    return parameters_.emplace(&report, std::move(values)).first->second;
}

std::shared_ptr<const std::vector<unsigned char>> RenderContext::Picture(
    const designer::PictureObject& picture) {
    auto it = pictures_.find(&picture);
    if (it != pictures_.end()) return it->second;
    std::vector<unsigned char> bytes = picture.Image;
    if (bytes.empty() && !picture.SourceFile.empty()) {
        // Only a picture file: not a device, a folder or something too big to be one.
        std::error_code ec;
        const std::filesystem::path file(picture.SourceFile);
        if (std::filesystem::is_regular_file(file, ec) &&
            std::filesystem::file_size(file, ec) <= kMaxPictureBytes)
            designer::ReadWholeFile(picture.SourceFile, bytes);
    }
    auto shared = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
    pictures_[&picture] = shared;
    return shared;
}

std::shared_ptr<const std::vector<unsigned char>> RenderContext::Picture(const vb::Variant& stored) {
    auto it = storedPictures_.find(&stored);
    if (it != storedPictures_.end()) return it->second;
    std::vector<unsigned char> bytes;
    if (stored.Type() == vb::VarType::Bytes) bytes = OlePicture(stored.ToBytes());
    auto shared = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
    storedPictures_[&stored] = shared;
    return shared;
}

long RenderContext::LineHeightOf(const designer::ReportObject& object) {
    auto it = lineHeights_.find(&object);
    if (it == lineHeights_.end())
        it = lineHeights_.emplace(&object, LineHeight(object.Font, MeasureOf(options))).first;
    return it->second;
}

void RenderContext::Note(const std::string& note) {
    if (noted_.insert(note).second) notes_.push_back(note);
}

// ---- ReportRun: records -------------------------------------------------------------------

ReportRun::ReportRun(const designer::Report& report, RenderContext& ctx)
    : report_(report), ctx_(ctx), symbols_(designer::SymbolsOf(report)) {
    const auto& tables = report.Database().Tables();
    size_t rowCount = 1;  // a report without tables prints its details once
    if (tables.Count() > 0) {
        const designer::DatabaseTable& first = tables.Item(1);
        table_ = first.Name();
        const RenderContext::TableData& data = ctx.Table(first);
        if (data.rows) {
            rows_ = data.rows;
            rowCount = rows_->rows.size();
        } else {
            unreachable_ = "The records of \"" + first.Name() + "\" could not be read: " + data.error;
            ctx.Note(unreachable_);
        }
    }
    for (const auto& g : report.Groups()) groupFields_.push_back(Body(g.ConditionField));

    // Keys of every row: group values (by their conditions), then the record sort fields.
    const size_t levels = groupFields_.size();
    const auto& sorts = report.RecordSortFields();
    groupKeys_.assign(levels, std::vector<Value>(rowCount));
    std::vector<std::vector<Value>> sortKeys(static_cast<size_t>(sorts.Count()),
                                             std::vector<Value>(rowCount));
    order_.resize(rowCount);
    selection_.resize(rowCount);
    positionOf_.resize(rowCount);
    for (size_t r = 0; r < rowCount; ++r) {
        order_[r] = selection_[r] = r;
        positionOf_[r] = static_cast<long>(r);
    }
    if (!Placeholders() && rows_) {
        for (size_t r = 0; r < rowCount; ++r) {
            current_ = r;
            for (size_t l = 0; l < levels; ++l) groupKeys_[l][r] = GroupKey(static_cast<int>(l), r);
            for (int s = 0; s < sorts.Count(); ++s)
                sortKeys[static_cast<size_t>(s)][r] = ValueAtRow(r, Body(sorts.Item(s + 1).Field));
        }
        std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
            for (size_t l = 0; l < levels; ++l) {
                int c = Compare(groupKeys_[l][a], groupKeys_[l][b]);
                if (report.Groups()[l].SortDirection == designer::crDescendingOrder) c = -c;
                if (c != 0) return c < 0;
            }
            for (int s = 0; s < sorts.Count(); ++s) {
                int c = Compare(sortKeys[static_cast<size_t>(s)][a], sortKeys[static_cast<size_t>(s)][b]);
                if (sorts.Item(s + 1).SortDirection == designer::crDescendingOrder) c = -c;
                if (c != 0) return c < 0;
            }
            return false;
        });
    }
    current_ = 0;
    SelectAll();
}

Value ReportRun::GroupKey(int level, size_t row) {
    const designer::Group& g = report_.Groups()[static_cast<size_t>(level)];
    Value v = ValueAtRow(row, groupFields_[static_cast<size_t>(level)]);
    if (v.IsDateLike() && g.Condition != designer::crGCAnyValue)
        return Value::DateTime(Bucket(v.number, g.Condition));
    return v;
}

void ReportRun::SelectAll() {
    Select(order_);
}

namespace {

// A linked field's value matches the main report's: equal, or (a number kept as text in one
// table and as a number in the other) the same text.
bool LinkMatches(const Value& v, const Value& value) {
    return Equal(v, value) || (!v.IsNull() && !value.IsNull() && ToText(v) == ToText(value));
}

}  // namespace

namespace {

bool IsDatabaseField(const std::string& body) {
    return !body.empty() && body[0] != '@' && body[0] != '?';
}

}  // namespace

std::vector<size_t> ReportRun::LinkedPlaces(const std::string& body, const Value& value) {
    std::vector<size_t> places;
    if (!IsDatabaseField(body)) {
        for (size_t p = 0; p < order_.size(); ++p)
            if (LinkMatches(ValueAtRow(order_[p], body), value)) places.push_back(p);
        return places;
    }
    auto it = linkIndexes_.find(body);
    if (it == linkIndexes_.end()) {
        LinkIndex index;
        for (size_t p = 0; p < order_.size(); ++p) {
            Value v = ValueAtRow(order_[p], body);
            if (!v.IsNull()) index.byText[ToText(v)].push_back(p);
            index.byValue[std::move(v)].push_back(p);
        }
        it = linkIndexes_.emplace(body, std::move(index)).first;
    }
    const LinkIndex& index = it->second;
    static const std::vector<size_t> kNone;
    auto equal = index.byValue.find(value);
    const std::vector<size_t>& byValue = equal == index.byValue.end() ? kNone : equal->second;
    const std::vector<size_t>* byText = &kNone;
    if (!value.IsNull())
        if (auto t = index.byText.find(ToText(value)); t != index.byText.end()) byText = &t->second;
    std::set_union(byValue.begin(), byValue.end(), byText->begin(), byText->end(),
                   std::back_inserter(places));
    return places;
}

void ReportRun::SelectLinked(const std::vector<std::pair<std::string, Value>>& links) {
    if (Placeholders() || !rows_ || links.empty()) {
        SelectAll();
        return;
    }
    // A formula is read at each row as one of all the records; a database field by the index.
    for (const auto& link : links)
        if (!IsDatabaseField(link.first)) {
            SelectAll();
            break;
        }
    std::vector<size_t> rows;
    for (size_t p : LinkedPlaces(links.front().first, links.front().second)) {
        const size_t row = order_[p];
        bool match = true;
        for (size_t l = 1; l < links.size() && match; ++l)
            match = LinkMatches(ValueAtRow(row, links[l].first), links[l].second);
        if (match) rows.push_back(row);
    }
    Select(std::move(rows));
}

void ReportRun::Select(std::vector<size_t> rows) {
    // Only the places of the rows selected before are cleared: a subreport selects a few rows
    // of its table for each main record.
    for (size_t row : selection_) positionOf_[row] = -1;
    selection_ = std::move(rows);
    for (size_t k = 0; k < selection_.size(); ++k) positionOf_[selection_[k]] = static_cast<long>(k);
    current_ = 0;
    ComputeGroups();
}

void ReportRun::ComputeGroups() {
    // Summaries and formula values belong to the records selected before.
    summaries_.clear();
    ++selections_;
    const size_t n = selection_.size();
    const size_t levels = groupKeys_.size();
    groupStart_.assign(levels, std::vector<size_t>(n));
    groupEnd_.assign(levels, std::vector<size_t>(n));
    groupNumber_.assign(n, 0);
    std::vector<bool> starts(n * levels, false);
    for (size_t k = 0; k < n; ++k) {
        bool outerChanged = k == 0;
        for (size_t l = 0; l < levels; ++l) {
            bool changed =
                outerChanged || !Equal(groupKeys_[l][selection_[k]], groupKeys_[l][selection_[k - 1]]);
            starts[k * levels + l] = changed;
            groupStart_[l][k] = changed ? k : groupStart_[l][k - 1];
            outerChanged = changed;
        }
    }
    for (size_t l = 0; l < levels; ++l) {
        for (size_t k = n; k-- > 0;) {
            bool last = k + 1 == n || starts[(k + 1) * levels + l];
            groupEnd_[l][k] = last ? k : groupEnd_[l][k + 1];
        }
    }
    long number = 0;
    for (size_t k = 0; k < n; ++k) {
        if (levels == 0 || starts[k * levels + levels - 1]) ++number;
        groupNumber_[k] = levels == 0 ? 1 : number;
    }
}

void ReportRun::SetCurrent(size_t k) {
    current_ = std::min(k, selection_.empty() ? 0 : selection_.size() - 1);
}

bool ReportRun::StartsGroup(int level, size_t k) const {
    return k < selection_.size() && groupStart_[static_cast<size_t>(level)][k] == k;
}

bool ReportRun::EndsGroup(int level, size_t k) const {
    return k < selection_.size() && groupEnd_[static_cast<size_t>(level)][k] == k;
}

std::string ReportRun::GroupLabel(int level, size_t k) {
    if (k >= selection_.size() || Placeholders())
        return Placeholders() ? PlaceholderName(Refer("{" + groupFields_[static_cast<size_t>(level)] + "}"))
                              : "";
    const Value& key = groupKeys_[static_cast<size_t>(level)][selection_[k]];
    if (key.kind == ValueKind::DateTime &&
        report_.Groups()[static_cast<size_t>(level)].Condition != designer::crGCAnyValue)
        return FormatDatePattern(key.number, kShortDate);
    return DisplayText(key, designer::crUseWindowsShortDate);
}

long ReportRun::GroupNumber() {
    return selection_.empty() ? 0 : groupNumber_[current_];
}

// ---- ReportRun: values ---------------------------------------------------------------------

const ReportRun::Column& ReportRun::Resolve(const std::string& body) {
    auto it = columns_.find(body);
    if (it != columns_.end()) return it->second;
    Column c;
    std::string table, field;
    if (rows_ && designer::SplitFieldReference(symbols_, body, table, field) &&
        tolvaran::EqualsNoCase(table, table_)) {
        c.index = rows_->ColumnIndex(field);
        int type = designer::crUnknownField;
        if (designer::LookupReference(symbols_, body, type)) c.valueType = type;
    }
    return columns_.emplace(body, c).first->second;
}

Value ReportRun::ColumnValue(const Column& c, size_t row) const {
    if (c.index < 0 || !rows_ || row >= rows_->rows.size()) return Value::Null();
    const auto& cells = rows_->rows[row];
    if (static_cast<size_t>(c.index) >= cells.size()) return Value::Null();
    return FromVariant(cells[static_cast<size_t>(c.index)], c.valueType);
}

Value ReportRun::ValueAtRow(size_t row, const std::string& body) {
    if (!body.empty() && (body[0] == '@' || body[0] == '?')) {
        size_t saved = current_;
        if (row < positionOf_.size() && positionOf_[row] >= 0)
            current_ = static_cast<size_t>(positionOf_[row]);
        Value v = body[0] == '@' ? Formula(body.substr(1)) : Parameter(body.substr(1));
        current_ = saved;
        return v;
    }
    return ColumnValue(Resolve(body), row);
}

Value ReportRun::Field(const std::string& body) {
    if (selection_.empty() || Placeholders()) return Value::Null();
    return ValueAtRow(selection_[current_], body);
}

const ReportRun::Reference& ReportRun::Refer(const std::string& reference) {
    auto it = references_.find(reference);
    if (it != references_.end()) return it->second;
    Reference r;
    r.name = Body(reference);
    if (r.name.empty()) {
        r.kind = Reference::Kind::None;
    } else if (r.name[0] == '@' || r.name[0] == '?') {
        r.kind = r.name[0] == '@' ? Reference::Kind::Formula : Reference::Kind::Parameter;
        r.name.erase(0, 1);
        if (r.kind == Reference::Kind::Formula) r.formula = FormulaNamed(r.name);
    } else {
        r.kind = Reference::Kind::Field;
        r.column = &Resolve(r.name);
        std::string table, field;
        if (designer::SplitFieldReference(symbols_, r.name, table, field)) {
            r.placeholder = field;
        } else {
            size_t dot = r.name.rfind('.');
            r.placeholder = dot == std::string::npos ? r.name : r.name.substr(dot + 1);
        }
    }
    return references_.emplace(reference, std::move(r)).first->second;
}

Value ReportRun::ReferenceValue(const Reference& r) {
    switch (r.kind) {
        case Reference::Kind::Formula:
            return FormulaValue(r.formula, r.name);
        case Reference::Kind::Parameter:
            return Parameter(r.name);
        case Reference::Kind::Field:
            if (selection_.empty() || Placeholders()) return Value::Null();
            return ColumnValue(*r.column, selection_[current_]);
        case Reference::Kind::None:
            break;
    }
    return Value::Null();
}

const vb::Variant* ReportRun::StoredAt(const Column* c) const {
    if (!c || c->index < 0 || selection_.empty() || Placeholders() || !rows_) return nullptr;
    const size_t row = selection_[current_];
    if (row >= rows_->rows.size()) return nullptr;
    const auto& cells = rows_->rows[row];
    return static_cast<size_t>(c->index) < cells.size() ? &cells[static_cast<size_t>(c->index)] : nullptr;
}

const vb::Variant* ReportRun::StoredValue(const Reference& r) {
    return r.kind == Reference::Kind::Field ? StoredAt(r.column) : nullptr;
}

bool ReportRun::ShowsFractionalColumn(const Reference& r) {
    if (!r.looked) {
        r.looked = true;
        if (r.kind == Reference::Kind::Field) {
            r.fractional = r.column;
        } else if (r.kind == Reference::Kind::Formula && r.formula) {
            // The field the formula is, or sums up.
            const designer::FormulaNode* node = Parsed(*r.formula).root.get();
            if (node && node->kind == designer::FormulaNodeKind::Call) {
                bool summary = false;
                for (const char* f : {"Sum", "Average", "Maximum", "Minimum"})
                    summary = summary || tolvaran::EqualsNoCase(node->text, f);
                node = summary && !node->kids.empty() ? node->kids[0].get() : nullptr;
            }
            // A formula or parameter it refers to has no stored values.
            if (node && node->kind == designer::FormulaNodeKind::Reference) {
                const std::string field = Body("{" + node->text + "}");
                if (!field.empty() && field[0] != '@' && field[0] != '?') r.fractional = &Resolve(field);
            }
        }
    }
    const vb::Variant* stored = StoredAt(r.fractional);
    return stored && stored->Type() == vb::VarType::Double;
}

const std::string& ReportRun::PlaceholderName(const Reference& r) {
    return r.placeholder;
}

Value ReportRun::Parameter(const std::string& name) {
    const ValueMap& values = ctx_.Parameters(report_);
    auto it = values.find(name);
    return it == values.end() ? Value::Null() : it->second;
}

ReportRun::FormulaSlot* ReportRun::FormulaNamed(const std::string& name) {
    auto it = formulaNamed_.find(name);
    if (it != formulaNamed_.end()) return it->second;
    // The last formula field of that name counts.
    const designer::FormulaFieldDefinition* def = nullptr;
    for (const auto& f : report_.FormulaFields())
        if (tolvaran::EqualsNoCase(f->Name(), name)) def = f.get();
    FormulaSlot* slot = nullptr;
    if (def) {
        slot = &formulas_[def];
        slot->def = def;
    }
    return formulaNamed_.emplace(name, slot).first->second;
}

const designer::ParsedFormula& ReportRun::Parsed(FormulaSlot& slot) {
    if (!slot.parsed) {
        slot.parsed =
            std::make_unique<designer::ParsedFormula>(designer::ParseFormula(slot.def->Text(), symbols_));
        if (!slot.parsed->check.ok)
            ctx_.Note("The formula " + slot.def->Name() + " does not check (" + slot.parsed->check.message +
                      ") and shows nothing.");
    }
    return *slot.parsed;
}

Value ReportRun::Formula(const std::string& name) {
    return FormulaValue(FormulaNamed(name), name);
}

Value ReportRun::FormulaValue(FormulaSlot* slot, const std::string& name) {
    if (!slot) return Value::Null();
    if (slot->cached && slot->selection == selections_ && slot->record == current_ &&
        slot->section == section_)
        return slot->value;
    const designer::ParsedFormula& parsed = Parsed(*slot);
    // A formula commented out by the converter, or one that does not check, shows nothing.
    if (!parsed.root) return Value::Null();
    if (slot->evaluating) {
        ctx_.Note("The formula " + name + " refers to itself and shows nothing.");
        return Value::Null();
    }
    slot->evaluating = true;
    Value v;
    try {
        v = Evaluate(*parsed.root, *this);
    } catch (const FormulaError& e) {
        ctx_.Note("Error in formula " + name + ": '" + slot->def->Text() + "' " + e.what());
    }
    slot->evaluating = false;
    slot->cached = true;
    slot->selection = selections_;
    slot->record = current_;
    slot->section = section_;
    slot->value = v;
    return v;
}

Value ReportRun::EvaluateExpression(const designer::FormulaNode& expression) {
    try {
        return Evaluate(expression, *this);
    } catch (const FormulaError&) {
        return Value::Null();
    }
}

long ReportRun::PageNumber() {
    ++ctx_.pageQueries;
    return ctx_.page;
}

long ReportRun::TotalPageCount() {
    ++ctx_.pageQueries;
    ctx_.totalPagesAsked = true;
    return ctx_.totalPages > 0 ? ctx_.totalPages : ctx_.page;
}

int ReportRun::LevelOf(const std::string& body, const std::string& condition) const {
    (void)condition;
    std::string table, field;
    bool split = designer::SplitFieldReference(symbols_, body, table, field);
    for (size_t l = groupFields_.size(); l-- > 0;) {
        if (tolvaran::EqualsNoCase(groupFields_[l], body)) return static_cast<int>(l);
        std::string t2, f2;
        if (split && designer::SplitFieldReference(symbols_, groupFields_[l], t2, f2) &&
            tolvaran::EqualsNoCase(t2, table) && tolvaran::EqualsNoCase(f2, field))
            return static_cast<int>(l);
    }
    return -1;
}

Value ReportRun::Summary(const std::string& function, const designer::FormulaNode& expression,
                         const designer::FormulaNode* group, const std::string& condition) {
    size_t from = 0, to = selection_.size();  // [from, to)
    int level = -1;
    if (group && group->kind == designer::FormulaNodeKind::Reference) level = LevelOf(group->text, condition);
    if (level >= 0 && !selection_.empty()) {
        from = groupStart_[static_cast<size_t>(level)][current_];
        to = groupEnd_[static_cast<size_t>(level)][current_] + 1;
    }
    auto key = std::make_tuple(&expression, function, from, to);
    if (auto it = summaries_.find(key); it != summaries_.end()) return it->second;
    std::vector<Value> values;
    if (!Placeholders()) {
        size_t saved = current_;
        for (size_t k = from; k < to; ++k) {
            current_ = k;
            values.push_back(EvaluateExpression(expression));
        }
        current_ = saved;
    }
    Value result;
    if (function == "Rows") {
        result = Value::Array(std::move(values));
    } else if (function == "Values") {
        std::vector<Value> present;
        for (Value& v : values)
            if (!v.IsNull()) present.push_back(std::move(v));
        result = Value::Array(std::move(present));
    } else {
        try {
            result = AggregateValues(function, std::move(values));
        } catch (const FormulaError&) {
            result = Value::Null();
        }
    }
    summaries_[key] = result;
    return result;
}

Value ReportRun::Neighbour(const designer::FormulaNode& expression, int offset) {
    long k = static_cast<long>(current_) + offset;
    if (k < 0 || k >= static_cast<long>(selection_.size()) || Placeholders()) return Value::Null();
    size_t saved = current_;
    current_ = static_cast<size_t>(k);
    Value v = EvaluateExpression(expression);
    current_ = saved;
    return v;
}

std::string ReportRun::GroupName(const designer::FormulaNode& field, const std::string& condition) {
    int level = field.kind == designer::FormulaNodeKind::Reference ? LevelOf(field.text, condition) : -1;
    if (level < 0) return {};
    return GroupLabel(level, current_);
}

}  // namespace viewer::detail
