#include "sources/connect_text.h"

#include "platform/ado/driver.h"

namespace tolvaran {

std::string ConnectValue(const std::string& text, const std::string& key) {
    std::string k = key;
    if (!k.empty() && k.back() == '=') k.pop_back();
    if (k.empty()) return {};
    std::string value = ado::ConnectionSpec(text).get({k.c_str()});
    if (value.size() >= 2 && value.front() == '{' && value.back() == '}') {
        std::string inner;
        for (size_t i = 1; i + 1 < value.size(); ++i) {
            inner += value[i];
            if (value[i] == '}' && value[i + 1] == '}') ++i;
        }
        value = inner;
    }
    return value;
}

}  // namespace tolvaran
