#pragma once
// A connection text ("Provider=...;Data Source=...;User ID=...") as the list of its parts: the
// one reader and writer of connection texts, for the engine layer that opens them and for
// every caller that builds, reads or rewrites one.
//
// Reading knows every form the program has met or stored: a value may stand bare (trimmed,
// up to the next ';'), in double or single quotes (OLE DB: a doubled quote stands for one),
// or in braces (ODBC: a doubled '}' stands for one); text after a closing quote up to the
// ';' is dropped. A part without '=' (the "ODBC" in front of an Access connect string, or an
// empty part) is kept as it stands, so a text read and written again is the same text.
//
// Writing quotes each value by the grammar of the back end the text is for, only where the
// value could not be read back otherwise; a value read in quotes or braces keeps them.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ado {

// The grammar values are written in.
//  - Ado (OLE DB providers: Jet, SQL Server): a value holding ';' or a quote, starting with
//    '{' or with blanks at an end goes in double quotes, or in single quotes when it holds
//    double quotes and no single one; the quote used is doubled inside.
//  - Odbc (driver-manager texts: DSN=, Driver=): a value holding ';', '=', '{' or '}',
//    starting with a quote or with blanks at an end goes in braces, '}' doubled inside.
enum class QuoteStyle { Ado, Odbc };

class ConnectionText {
  public:
    struct Part {
        std::string key;       // as written, blanks kept; compared trimmed and without case
        std::string value;     // unquoted
        bool hasValue = true;  // false: a part without '=', written as its key alone
        char quote = 0;        // '"', '\'' or '{' when the value was read so; 0 otherwise
    };

    explicit ConnectionText(QuoteStyle style = QuoteStyle::Ado) : style_(style) {}
    static ConnectionText Read(std::string_view text, QuoteStyle style = QuoteStyle::Ado);

    QuoteStyle Style() const { return style_; }
    const std::vector<Part>& Parts() const { return parts_; }

    // The value of the first of keys that a part with a value has, "" when none has.
    std::string Get(std::initializer_list<std::string_view> keys) const;
    bool Has(std::string_view key) const;

    ConnectionText& Add(std::string key, std::string value);
    // A part as it stands, without '=': a word, or "" for an empty part.
    ConnectionText& AddBare(std::string word);
    // A part read from another text; its value keeps the quotes or braces it was read in
    // where this text's grammar has them.
    ConnectionText& Add(Part part);

    // The text, parts joined by ';', each value quoted by the text's grammar.
    std::string Text() const;

    // A value as a text of that grammar writes it.
    static std::string Quoted(std::string_view value, QuoteStyle style);

  private:
    static std::string Written(const Part& part, QuoteStyle style);

    QuoteStyle style_;
    std::vector<Part> parts_;
};

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>": an Access file or its stand-in.
ConnectionText JetFileText(const std::string& file);

}  // namespace ado
