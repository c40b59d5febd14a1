#pragma once
// The registry of this machine: one REGEDIT4 (.reg) file holding keys and values.
//
//   REGEDIT4
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Tolvaran\SQLServer]
//   "OdbcTemplate"="Driver={FreeTDS};..."        REG_SZ (\\ and \" escaped)
//   "Count"=dword:0000000a                       REG_DWORD
//   "Blob"=hex:01,02,ff                          REG_BINARY
//   "Path"=hex(2):25,00                          REG_EXPAND_SZ (kept as its type)
//   "List"=hex(7):61,00,00                       REG_MULTI_SZ (kept as its type)
//   @="default value"                            the key's unnamed value
//
// Key paths start with the root name ("HKEY_LOCAL_MACHINE\SOFTWARE\..."); key and value
// names compare without regard to case, as the Windows registry does. Every change is
// written back to the file at once.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace registry {

enum ValueType : long {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
};

struct Value {
    ValueType type = REG_SZ;
    std::string text;                 // REG_SZ
    std::vector<std::uint8_t> bytes;  // REG_BINARY, REG_EXPAND_SZ, REG_MULTI_SZ (raw bytes)
    std::uint32_t dword = 0;          // REG_DWORD

    static Value Text(std::string s) { return Value{REG_SZ, std::move(s), {}, 0}; }
    static Value Dword(std::uint32_t n) { return Value{REG_DWORD, {}, {}, n}; }
    static Value Binary(std::vector<std::uint8_t> b) { return Value{REG_BINARY, {}, std::move(b), 0}; }
    bool operator==(const Value&) const = default;
};

class RegistryFile {
  public:
    // Reads path when it exists; a missing file is an empty registry. A line that cannot be
    // read is skipped (lineErrors() counts them).
    explicit RegistryFile(std::string path);

    const std::string& path() const { return path_; }
    int lineErrors() const { return lineErrors_; }

    bool KeyExists(const std::string& key) const;
    std::optional<Value> Get(const std::string& key, const std::string& name) const;
    // Creates the key (and its parents) when missing.
    void Set(const std::string& key, const std::string& name, const Value& value);
    void CreateKey(const std::string& key);
    bool DeleteValue(const std::string& key, const std::string& name);
    // Deletes the key with its subkeys.
    bool DeleteKey(const std::string& key);
    // Direct subkey names and the values of a key, in file order.
    std::vector<std::string> SubKeys(const std::string& key) const;
    std::vector<std::pair<std::string, Value>> Values(const std::string& key) const;

    // The REGEDIT4 text of the whole registry.
    std::string Text() const;
    // Writes the file; throws std::runtime_error when it cannot be written.
    void Save() const;

    // Reads REGEDIT4 text into this registry (merging into what is there).
    void Parse(const std::string& text);

  private:
    struct Key {
        std::string name;  // as first written
        std::vector<std::pair<std::string, Value>> values;
    };
    static std::string Fold(const std::string& key);
    Key* find(const std::string& key);
    const Key* find(const std::string& key) const;
    Key& ensure(const std::string& key);
    // The steps of Parse. A "[key]" line: the key values go to next, null when there is none
    // (a deleted key, a line without "]").
    Key* ParseKeyLine(const std::string& line);
    // A value line of key; false when it cannot be read.
    bool ParseValueLine(Key& key, const std::string& line);
    // Replaces the value of that name, or adds it.
    static void PutValue(Key& key, const std::string& name, const Value& value);

    std::string path_;
    std::map<std::string, Key> keys_;  // by folded path
    int lineErrors_ = 0;
};

}  // namespace registry
