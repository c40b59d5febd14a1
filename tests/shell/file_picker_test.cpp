// The source-database dialog's file picker: it starts in the folder a file was last chosen
// from, in the next run of the program too, and in the current folder once that folder is gone.
#include <gtest/gtest.h>

#include "select_database_fixture.h"

namespace fs = std::filesystem;

namespace {

class FilePicker : public test::SelectDatabaseFixture {
  protected:
    // The folder the next picker starts in, the dialog cancelled at its first picker.
    fs::path NextStart() {
        files_.Cancel();
        Open("", true);
        return files_.fileRequests.back().initDir;
    }
};

TEST_F(FilePicker, StartsWhereTheLastFileWasChosenAcrossRuns) {
    const fs::path here = fs::current_path();
    const fs::path databases = folder_ / "databases";
    fs::create_directories(databases);
    const std::string front = StandIn("databases/front.accdb", "CREATE TABLE Local (Id INTEGER);");

    EXPECT_TRUE(fs::equivalent(NextStart(), here));
    files_.Choose(front);
    Click(*Open("", true), 237);  // Cancel: the entry goes, the folder stays known
    EXPECT_TRUE(fs::equivalent(NextStart(), databases));

    EndWindow();
    StartWindow();
    EXPECT_TRUE(fs::equivalent(NextStart(), databases));

    fs::remove_all(databases);
    EXPECT_TRUE(fs::equivalent(NextStart(), here));
}

}  // namespace
