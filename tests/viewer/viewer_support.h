#pragma once
// Shared pieces of the report engine tests: SQLite source files made by the tests, reports
// built on them, and the texts of laid-out pages.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "designer/designer_fixture.h"
#include "platform/designer/designer.h"
#include "platform/viewer/engine.h"
#include "platform/viewer/page.h"

namespace viewer::testing {

// Temporary folders as the designer tests make them.
using designer::testing::TempDir;

inline void Exec(const std::string& file, const std::string& sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &h), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(h);
}

// A text on a page with its place.
struct PlacedText {
    std::string text;
    Rect rect;
};

// The texts of a page from top to bottom, left to right.
inline std::vector<PlacedText> TextsOf(const Page& page) {
    std::vector<PlacedText> out;
    for (const Item& i : page.items)
        if (auto* t = std::get_if<TextItem>(&i)) out.push_back({t->text, t->rect});
    std::stable_sort(out.begin(), out.end(), [](const PlacedText& a, const PlacedText& b) {
        return a.rect.top != b.rect.top ? a.rect.top < b.rect.top : a.rect.left < b.rect.left;
    });
    return out;
}

// Every text of the document, page after page.
inline std::vector<std::string> AllTexts(const Document& doc) {
    std::vector<std::string> out;
    for (const Page& p : doc.pages)
        for (const PlacedText& t : TextsOf(p)) out.push_back(t.text);
    return out;
}

inline designer::Section& SectionOf(designer::Report& r, const std::string& area, int index = 1) {
    return r.Areas().Item(area).Sections().Item(index);
}

}  // namespace viewer::testing
