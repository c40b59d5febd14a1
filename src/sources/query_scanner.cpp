#include "sources/query_scanner.h"

#include <algorithm>

#include "platform/ado/jet_sql_tokens.h"
#include "platform/common/text.h"
#include "platform/common/vbstring.h"

namespace tolvaran {

namespace {

using ado::SqlToken;

// One word of the scan: a run of tokens with nothing between them, ended by a blank, a comma,
// a semicolon or (unless kept) a parenthesis. A quoted or bracketed name is one token, so a
// name with blanks is one word.
struct Word {
    std::string text;         // as written
    std::string name;         // as a name: each bracketed or quoted part without its quotes
    size_t end = 0;           // byte offset after the word
    bool afterComma = false;  // a comma stands between it and the word before
};

bool IsSeparator(const SqlToken& t, bool keepParentheses) {
    if (t.kind != SqlToken::Symbol) return false;
    return t.text == "," || t.text == ";" || (!keepParentheses && (t.text == "(" || t.text == ")"));
}

// The word that starts at or after tokens[i]; i moves past it. An empty word at the end.
Word ReadWord(const std::string& text, const std::vector<SqlToken>& tokens, size_t& i, bool keepParentheses) {
    Word w;
    for (; tokens[i].kind != SqlToken::End && IsSeparator(tokens[i], keepParentheses); ++i)
        w.afterComma = w.afterComma || tokens[i].text == ",";
    if (tokens[i].kind == SqlToken::End) {
        w.end = text.size();
        return w;
    }
    const size_t start = tokens[i].pos;
    do {
        const SqlToken& t = tokens[i];
        const bool quoted = t.kind == SqlToken::Name || t.kind == SqlToken::Text;
        w.name += quoted ? t.text : text.substr(t.pos, t.len);
        w.end = t.pos + t.len;
        ++i;
    } while (tokens[i].kind != SqlToken::End && tokens[i].pos == w.end &&
             !IsSeparator(tokens[i], keepParentheses));
    w.text = text.substr(start, w.end - start);
    return w;
}

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

// Names are matched trimmed (blanks only, as the host language trims) and without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    return EqualsNoCase(vb::Trim(a), vb::Trim(b));
}

// The key a view is found by in the index: the name as SameName compares it.
std::string FoldedName(const std::string& name) {
    return UpperCase(vb::Trim(name));
}

}  // namespace

TableViewPtr TableViewCollection::Item(long position) const {
    if (position > 0 && position <= Count()) return items_[static_cast<size_t>(position - 1)];
    return nullptr;
}

TableViewPtr TableViewCollection::Item(const std::string& key) const {
    for (const TableViewPtr& t : items_)
        if (SameName(t->Name, key)) return t;
    return nullptr;
}

clsInterface::clsInterface(ui::Prompt& prompt) : prompt_(prompt) {}

void clsInterface::setActiveConnection(const ado::ConnectionPtr& connection) {
    catalog_.setActiveConnection(connection);
    indexedType_.reset();
}

void clsInterface::setActiveDMODatabase(const sqldmo::DatabasePtr& database) {
    dmoDatabase_ = database;
    indexedType_.reset();
}

void clsInterface::setSQLString(const std::string& sql) {
    if (!catalog_.ActiveConnection())
        throw vb::ComError(vb::kErrActiveConnection, "Active Connection is nothing.");
    Execute(sql);
}

std::string clsInterface::SQLFields(long position) const {
    if (position < 1 || position > FieldCount || position > static_cast<long>(fields_.size())) return {};
    return fields_[static_cast<size_t>(position - 1)];
}

void clsInterface::Execute(const std::string& sql) {
    FieldCount = 0;
    fields_.clear();
    path_.clear();
    entries_ = 0;
    ParseSelect(true, sql, SQLTables);
}

std::string clsInterface::GetNextToken(const std::string& text, long& position, bool keepParentheses) {
    const size_t from = std::min(position <= 0 ? size_t{0} : static_cast<size_t>(position - 1), text.size());
    const std::string rest = text.substr(from);
    const auto tokens = ado::TokenizeJetSql(rest, ado::SqlErrors::Tolerate);
    size_t i = 0;
    const Word w = ReadWord(rest, tokens, i, keepParentheses);
    // Past the character that ended the word, or past the end.
    const size_t end = from + w.end;
    position = static_cast<long>(end) + (end < text.size() ? 2 : 1);
    return w.text;
}

void clsInterface::ParseSelect(bool collect, const std::string& sql, TableViewCollection& into) {
    // Folding keeps byte offsets, so the tokens of the lower-cased text are those of sql.
    const std::string text = LowerCase(sql);
    const auto tokens = ado::TokenizeJetSql(text, ado::SqlErrors::Tolerate);
    size_t at = 0;
    int state = 0;
    // In a FROM list a name is a table or view where one is due: first, after a comma or a
    // join. A name after one ("Products AS [Product List]", "Orders o") is its alias.
    bool tableDue = false;
    bool aliasDue = false;
    for (;;) {
        const Word w = ReadWord(text, tokens, at, state == 4);
        const std::string& word = w.text;
        if (word.empty()) return;
        switch (state) {
            case 0:
                if (word == "select") state = 1;
                break;
            case 1:
                if (oneOf(word, {"all", "distinct", "top", "with", "ties"})) break;
                if (word == "from") {
                    state = 2;
                    tableDue = true;
                } else if (collect) {
                    ++FieldCount;
                    fields_.push_back(word);
                }
                break;
            case 2:
                if (word == "on")
                    state = 3;
                else if (word == "where")
                    state = 4;
                else if (word == "group")
                    state = 5;
                else if (word == "order")
                    state = 6;
                else if (oneOf(word, {"inner", "right", "left", "outer", "join", "full", "cross"})) {
                    tableDue = true;
                } else if (word == "as" && !tableDue && !w.afterComma) {
                    aliasDue = true;
                } else if (aliasDue || (!tableDue && !w.afterComma)) {
                    aliasDue = false;
                } else {
                    tableDue = false;
                    const std::string& name = w.name;
                    auto entry = std::make_shared<TableView>();
                    entry->Name = name;
                    entry->SQLSource = GetViewSource(name);
                    // Views that each read the next twice make a tree twice as large at each
                    // level: the scan stops at a size no real database reaches.
                    if (++entries_ > kMaxScanEntries)
                        throw vb::ComError(vb::kErrGeneric,
                                           "Query is too complex: with the views it draws on, "
                                           "it reads more than " +
                                               std::to_string(kMaxScanEntries) + " tables and views.");
                    into.Add(entry);
                    if (entry->SQLSource.empty()) break;
                    const auto onPath = std::find_if(path_.begin(), path_.end(),
                                                     [&](const std::string& p) { return SameName(p, name); });
                    if (onPath == path_.end() && path_.size() >= static_cast<size_t>(kMaxViewDepth))
                        throw vb::ComError(vb::kErrGeneric,
                                           "Query is too complex: its views draw on views more than " +
                                               std::to_string(kMaxViewDepth) + " deep (" + path_.front() +
                                               " -> ... -> " + path_.back() + " -> " + name + ").");
                    if (onPath != path_.end()) {
                        std::string chain;
                        for (const std::string& p : path_) chain += p + " -> ";
                        std::string line =
                            "View " + name + " draws on itself (" + chain + name + "); not followed again.";
                        cycles_.push_back(line);
                        if (reportCycle_) reportCycle_(line);
                        break;
                    }
                    path_.push_back(name);
                    struct Pop {
                        std::vector<std::string>& path;
                        ~Pop() { path.pop_back(); }
                    } pop{path_};
                    ParseSelect(false, entry->SQLSource, entry->Children);
                }
                break;
            case 3:
                if (word == "where")
                    state = 4;
                else if (word == "group")
                    state = 5;
                else if (word == "order")
                    state = 6;
                else if (oneOf(word, {"inner", "outer", "left", "right", "join"})) {
                    state = 2;
                    tableDue = true;
                }
                break;
            case 4:
                if (word == "group")
                    state = 5;
                else if (word == "order")
                    state = 6;
                else if (collect)
                    SQLWhere += " " + word;
                break;
            case 5:
                if (word == "by") break;
                if (word == "order")
                    state = 6;
                else if (collect)
                    SQLGroupBy += " " + word;
                break;
            case 6:
                if (word == "by") break;
                if (word == "group")
                    state = 5;
                else if (collect)
                    SQLOrderBy += " " + word;
                break;
        }
    }
}

const std::unordered_map<std::string, std::string>& clsInterface::ViewIndex() {
    if (indexedType_ == DBType) return viewIndex_;
    std::unordered_map<std::string, std::string> index;
    if (DBType != 0) {
        if (!dmoDatabase_) throw vb::ComError(91, "Object variable or With block variable not set");
        for (const sqldmo::View& v : dmoDatabase_->Views()) index.emplace(FoldedName(v.Name), v.Text);
    } else {
        for (const adox::View& v : catalog_.Views()) index.emplace(FoldedName(v.Name), v.Command.CommandText);
    }
    viewIndex_ = std::move(index);
    indexedType_ = DBType;
    return viewIndex_;
}

std::string clsInterface::GetViewSource(const std::string& name) {
    try {
        std::string wanted = name;
        if (DBType != 0) ReplaceAll(wanted, "dbo.", "");
        const auto& index = ViewIndex();
        const auto it = index.find(FoldedName(wanted));
        if (it != index.end()) return it->second;
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "GetViewSource");
    }
    return {};
}

}  // namespace tolvaran
