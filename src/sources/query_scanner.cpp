#include "sources/query_scanner.h"

#include <algorithm>
#include <cctype>

namespace tolvaran {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Trim as the host language does it: blanks only.
std::string trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

bool isSeparator(char c, bool keepParentheses) {
    switch (c) {
        case ' ':
        case ',':
        case ';':
        case '"':
        case '\r':
        case '\n': return true;
        case '(':
        case ')': return !keepParentheses;
        default: return false;
    }
}

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
}

}  // namespace

TableViewPtr TableViewCollection::Item(long position) const {
    if (position > 0 && position <= Count()) return items_[static_cast<size_t>(position - 1)];
    return nullptr;
}

TableViewPtr TableViewCollection::Item(const std::string& key) const {
    const std::string wanted = upper(trim(key));
    for (const TableViewPtr& t : items_)
        if (upper(trim(t->Name)) == wanted) return t;
    return nullptr;
}

clsInterface::clsInterface(ui::Prompt& prompt) : prompt_(prompt) {}

void clsInterface::setActiveConnection(const ado::ConnectionPtr& connection) {
    catalog_.setActiveConnection(connection);
}

void clsInterface::setSQLString(const std::string& sql) {
    if (!catalog_.ActiveConnection()) throw vb::ComError(vb::kErrActiveConnection, "Active Connection is nothing.");
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
    ParseSelect(true, lower(sql), SQLTables);
}

std::string clsInterface::GetNextToken(const std::string& text, long& position, bool keepParentheses) {
    size_t i = position <= 0 ? 0 : static_cast<size_t>(position - 1);
    while (i < text.size() && isSeparator(text[i], keepParentheses)) ++i;
    size_t start = i;
    while (i < text.size() && !isSeparator(text[i], keepParentheses)) ++i;
    std::string word = text.substr(std::min(start, text.size()), i - std::min(start, text.size()));
    // Past the separator that ended the word, or past the end.
    position = static_cast<long>(std::min(i, text.size())) + (i < text.size() ? 2 : 1);
    return word;
}

void clsInterface::ParseSelect(bool collect, const std::string& sql, TableViewCollection& into) {
    const std::string text = lower(sql);
    long position = 1;
    int state = 0;
    for (;;) {
        const std::string word = GetNextToken(text, position, state == 4);
        if (word.empty()) return;
        switch (state) {
            case 0:
                if (word == "select") state = 1;
                break;
            case 1:
                if (oneOf(word, {"all", "distinct", "top", "with", "ties"})) break;
                if (word == "from") {
                    state = 2;
                } else if (collect) {
                    ++FieldCount;
                    fields_.push_back(word);
                }
                break;
            case 2:
                if (word == "on") state = 3;
                else if (word == "where") state = 4;
                else if (word == "group") state = 5;
                else if (word == "order") state = 6;
                else if (oneOf(word, {"inner", "right", "left", "outer", "join", "full", "cross"})) {
                } else {
                    auto entry = std::make_shared<TableView>();
                    entry->Name = word;
                    entry->SQLSource = GetViewSource(word);
                    into.Add(entry);
                    if (entry->SQLSource.empty()) break;
                    const std::string key = upper(trim(word));
                    if (std::find(path_.begin(), path_.end(), key) != path_.end()) {
                        std::string chain;
                        for (const std::string& p : path_) chain += lower(p) + " -> ";
                        std::string line = "View " + word + " draws on itself (" + chain + word + "); not followed again.";
                        cycles_.push_back(line);
                        if (reportCycle_) reportCycle_(line);
                        break;
                    }
                    path_.push_back(key);
                    struct Pop {
                        std::vector<std::string>& path;
                        ~Pop() { path.pop_back(); }
                    } pop{path_};
                    ParseSelect(false, entry->SQLSource, entry->Children);
                }
                break;
            case 3:
                if (word == "where") state = 4;
                else if (word == "group") state = 5;
                else if (word == "order") state = 6;
                else if (oneOf(word, {"inner", "outer", "left", "right", "join"})) state = 2;
                break;
            case 4:
                if (word == "group") state = 5;
                else if (word == "order") state = 6;
                else if (collect) SQLWhere += " " + word;
                break;
            case 5:
                if (word == "by") break;
                if (word == "order") state = 6;
                else if (collect) SQLGroupBy += " " + word;
                break;
            case 6:
                if (word == "by") break;
                if (word == "group") state = 5;
                else if (collect) SQLOrderBy += " " + word;
                break;
        }
    }
}

std::string clsInterface::GetViewSource(const std::string& name) {
    try {
        if (DBType != 0) {
            std::string wanted = trim(name);
            for (size_t at; (at = wanted.find("dbo.")) != std::string::npos;) wanted.erase(at, 4);
            wanted = upper(wanted);
            if (!dmoDatabase_) throw vb::ComError(91, "Object variable or With block variable not set");
            for (const sqldmo::View& v : dmoDatabase_->Views())
                if (upper(trim(v.Name)) == wanted) return v.Text;
            return {};
        }
        const std::string wanted = upper(trim(name));
        for (const adox::View& v : catalog_.Views())
            if (upper(trim(v.Name)) == wanted) return v.Command.CommandText;
    } catch (const std::exception& e) {
        prompt_.MsgBox(e.what(), ui::vbOKOnly, "GetViewSource");
    }
    return {};
}

}  // namespace tolvaran
