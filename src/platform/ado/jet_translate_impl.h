#pragma once
// Internals of the Access-to-SQLite translator (jet_translate.h), shared by its statement part
// (jet_translate.cpp) and its expression part (jet_translate_expr.cpp).
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/ado/jet_sql.h"
#include "platform/ado/jet_translate.h"
#include "platform/common/text.h"

namespace ado::jettr {

// A translated expression.
struct TExpr {
    std::string sql;
    JetType type = JetType::Value;
    bool aggregate = false;            // holds an aggregate of this query level
    int param = -1;                    // the parameter's index when the expression is one
    std::vector<int> sources;          // ids of the sources whose columns it reads
    const JetField* column = nullptr;  // a plain column: its field
    // sql is "(x op y ...)", a chain of operators of one SQLite precedence ('+' for + and -,
    // '*', '|' for ||, 'A' AND, 'O' OR): the next of its kind is written inside the bracket,
    // so a long chain does not nest brackets past what SQLite's parser holds.
    char chain = 0;
};

struct SourceInfo {
    int id = 0;
    std::string alias;  // the name the statement uses for it
    std::string table;  // the table or saved query under an alias, "" for a subquery
    std::vector<JetField> fields;
    bool hasRowId = false;  // a loaded table (its rows have a rowid)
};

struct Scope {
    Scope* outer = nullptr;
    std::deque<SourceInfo> sources;                      // a deque: expressions keep pointers to the fields
    std::vector<std::pair<std::string, TExpr>> aliases;  // select-list aliases met so far
    const std::string* pivotFilter = nullptr;            // crosstab cell: aggregates take only these rows
    bool inAggregate = false;
};

// One column of a select list.
struct Item {
    TExpr value;
    std::string name;
    bool explicitName = false;
    std::string sourceAlias;  // a plain column: the alias of its source
};

// What a query gives: its SQL and its columns.
struct Result {
    std::string sql;
    std::vector<JetField> fields;
};

// "D" for a date, "B" for a Boolean, "S" for a Single, "-" otherwise (see jet_functions.h).
char Tag(JetType t);
// The Jet type of a literal value (Null for Empty and Null).
JetType LiteralType(const vb::Variant& v);
// Texts and values of unknown type compare under the collation JETTEXT.
bool Textual(JetType t);

[[noreturn]] void Unsupported(const std::string& sql, const std::string& what);

// Levels of queries and expressions the translator goes into at once, the saved queries and
// domain functions a statement draws on included: bounds its recursion (a level of saved query
// takes up to about 5 KB of stack, so the deepest stays within 2 MB).
inline constexpr int kMaxTranslateDepth = 400;

class Translator {
  public:
    // seeds: the types of the parameters by their index where nothing in the statement says
    // one (from the caller's values).
    Translator(JetSqlHost& host, const std::vector<vb::Variant>& values, std::vector<JetType> seeds = {})
        : host_(host), values_(values), seeds_(std::move(seeds)) {}

    JetTranslation translate(const std::string& sql);

    // Statements (jet_translate.cpp).
    Result statement(const jetsql::Statement& st);
    Result query(const jetsql::Query& q, Scope* outer);
    Result select(const jetsql::SelectCore& s, const std::vector<jetsql::OrderItem>& orderBy, Scope* outer,
                  bool unionPart);
    Result crosstab(const jetsql::Statement& st);

    // Expressions (jet_translate_expr.cpp).
    TExpr expr(const jetsql::Expr& e, Scope& scope);

  private:
    struct Clauses {
        std::string from, where, having;
        std::vector<TExpr> groupBy;
        bool aggregate = false;
    };
    std::string from(const jetsql::Source& s, Scope& scope);
    std::vector<Item> items(const jetsql::SelectCore& s, Scope& scope);
    Clauses clauses(const jetsql::SelectCore& s, Scope& scope, const std::vector<Item>& items);
    const std::vector<JetField>& savedQuery(const std::string& name, std::string& sqlName);
    std::string withClause() const;
    int declare(const std::string& name, JetType type);
    JetType seed(size_t index) const { return index < seeds_.size() ? seeds_[index] : JetType::Value; }

    TExpr name(const jetsql::Expr& e, Scope& scope);
    TExpr parameter(const std::string& name);
    TExpr binary(const jetsql::Expr& e, Scope& scope);
    TExpr comparison(const std::string& op, TExpr a, TExpr b);
    TExpr call(const jetsql::Expr& e, Scope& scope);
    TExpr aggregate(const jetsql::Expr& e, Scope& scope, const std::string& fn);
    TExpr domain(const jetsql::Expr& e, Scope& scope, const std::string& fn);
    TExpr subquery(const jetsql::Query& q, Scope& scope);
    TExpr quantified(const jetsql::Expr& e, Scope& scope);
    void typeParameter(const TExpr& param, JetType type);
    std::string tags(const std::vector<TExpr>& args) const;
    TExpr infix(TExpr a, const std::string& op, const TExpr& b, char chain, JetType type) const;

    // One level deeper for as long as it lives; refused past kMaxTranslateDepth.
    class Level {
      public:
        explicit Level(Translator& t);
        ~Level() { --t_.depth_; }
        Level(const Level&) = delete;
        Level& operator=(const Level&) = delete;

      private:
        Translator& t_;
    };

    JetSqlHost& host_;
    const std::vector<vb::Variant>& values_;
    std::vector<JetType> seeds_;
    std::string sql_;  // the statement, for messages
    std::vector<JetParameter> params_;
    std::map<std::string, int, tolvaran::NoCaseLess> paramIndex_;  // named ones ("?" are not) by name
    struct Cte {
        std::string name;  // the saved query as the file spells it
        std::vector<JetField> fields;
    };
    std::vector<std::string> withs_;  // "name" AS (...) in the order they depend on each other
    std::vector<Cte> ctes_;
    std::vector<std::string> expanding_;  // saved queries being translated, outermost first
    int nextSource_ = 0;
    int nextSubquery_ = 0;
    int nextQuantified_ = 0;  // names the rows of an ALL or ANY subquery
    int depth_ = 0;           // levels being translated (see Level)
};

}  // namespace ado::jettr
