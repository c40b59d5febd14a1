#pragma once
// Formula fields, parameter fields, groups and record sort fields of a report.
#include <memory>
#include <string>
#include <vector>

#include "platform/designer/types.h"

namespace designer {

class Report;
class DatabaseFieldDefinition;

class FormulaFieldDefinition {
  public:
    FormulaFieldDefinition(Report& report, std::string name, std::string text)
        : report_(&report), name_(std::move(name)), text_(std::move(text)) {}

    const std::string& Name() const { return name_; }
    const std::string& Text() const { return text_; }
    void setText(const std::string& t) { text_ = t; }
    // The reference text: "{@Name}".
    std::string FormulaFieldName() const { return "{@" + name_ + "}"; }
    // Checks the text as a Crystal-syntax formula against the report it belongs to. ok is
    // True when it is sound; otherwise message holds the designer's message. Never throws.
    void Check(bool& ok, std::string& message) const;

  private:
    Report* report_;  // the report that owns this definition
    std::string name_;
    std::string text_;
};

class FormulaFieldDefinitions {
  public:
    explicit FormulaFieldDefinitions(Report& report) : report_(&report) {}
    // Adds a formula field. The text is not checked here (Check does that); an empty name, a
    // name holding "{", "}", "@" or "?", or one already used (in any case) fails with ComError.
    FormulaFieldDefinition& Add(const std::string& name, const std::string& text);
    int Count() const { return static_cast<int>(items_.size()); }
    FormulaFieldDefinition& Item(int index) const;                // 1-based
    FormulaFieldDefinition* Find(const std::string& name) const;  // exact name; nullptr if none
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    Report* report_;
    std::vector<std::unique_ptr<FormulaFieldDefinition>> items_;
};

class ParameterFieldDefinition {
  public:
    ParameterFieldDefinition(std::string name, int valueType)
        : name_(std::move(name)), valueType_(valueType) {}
    const std::string& Name() const { return name_; }
    int ValueType() const { return valueType_; }
    // A simple value type, as Add takes; another fails with ComError.
    void setValueType(int valueType);
    std::string Prompt;        // text shown when the value is asked for
    std::string DefaultValue;  // the value (as text) when none is asked for; empty: the type's default
    // The reference text: "{?Name}".
    std::string ParameterFieldName() const { return "{?" + name_ + "}"; }

  private:
    std::string name_;
    int valueType_;
};

class ParameterFieldDefinitions {
  public:
    // Adds a parameter field of a simple value type (7 number, 8 currency, 9 boolean,
    // 10 date, 11 time, 12 string, 16 date-time). Another type, an empty or reserved name,
    // or a name already used (in any case) fails with ComError.
    ParameterFieldDefinition& Add(const std::string& name, int valueType);
    int Count() const { return static_cast<int>(items_.size()); }
    ParameterFieldDefinition& Item(int index) const;                // 1-based
    ParameterFieldDefinition* Find(const std::string& name) const;  // exact name
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<std::unique_ptr<ParameterFieldDefinition>> items_;
};

// One group: the field whose values split the records, the condition and the direction.
struct Group {
    std::string ConditionField;  // "{Table.Field}"
    int Condition = crGCAnyValue;
    int SortDirection = crAscendingOrder;
    bool operator==(const Group&) const = default;
};

struct SortField {
    std::string Field;  // "{Table.Field}"
    int SortDirection = crAscendingOrder;
    bool operator==(const SortField&) const = default;
};

class RecordSortFields {
  public:
    void Add(const DatabaseFieldDefinition& field, int direction);
    void Add(const std::string& fieldReference, int direction);
    int Count() const { return static_cast<int>(items_.size()); }
    const SortField& Item(int index) const;  // 1-based
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

  private:
    std::vector<SortField> items_;
};

}  // namespace designer
