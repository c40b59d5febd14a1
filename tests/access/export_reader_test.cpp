#include "platform/access/export_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "export_fixtures.h"
#include "platform/access/errors.h"

using namespace tolvaran::access;
using access_test::Export;

namespace {

ReportPtr Read(const std::string& text, const ReadOptions& options = {}) {
    return ReadReportBytes(text, "rpt", "rpt.bas", options);
}

const char* kDetailWithControls =
    "        Begin Section\n"
    "            Height =600\n"
    "            Name =\"Détail\"\n"
    "            Begin\n"
    "                Begin TextBox\n"
    "                    Left =1000\n"
    "                    Width =2000\n"
    "                    Name =\"N° commande\"\n"
    "                    ControlSource =\"=\\\"Page \\\" & [Page] & \\\" sur \\\" & [Pages]\"\n"
    "                    Visible = NotDefault\n"
    "                    CanGrow = NotDefault\n"
    "                    Begin\n"
    "                        Begin Label\n"
    "                            Left =100\n"
    "                            Width =800\n"
    "                            Name =\"Label l'état\"\n"
    "                            Caption =\"Pér de l'état \\\"x\\\"\"\n"
    "                        End\n"
    "                    End\n"
    "                End\n"
    "            End\n"
    "        End\n";

}  // namespace

TEST(ExportReader, NamesWithAccentsQuotesAndNestedLabels) {
    auto r = Read(Export("    RecordSource =\"Commandes\"\n", kDetailWithControls));
    ASSERT_EQ(r->Controls().Count(), 2);
    Control& box = r->Controls("n° COMMANDE");  // names compare without regard to ASCII case
    EXPECT_EQ(box.ControlType(), acTextBox);
    EXPECT_EQ(box.ControlSource(), "=\"Page \" & [Page] & \" sur \" & [Pages]");
    EXPECT_FALSE(box.Visible());
    EXPECT_TRUE(box.CanGrow());
    EXPECT_EQ(box.Section(), 0);
    Control& label = r->Controls("Label l'état");
    EXPECT_EQ(label.Caption(), "Pér de l'état \"x\"");
    EXPECT_EQ(label.Parent(), &box);
    EXPECT_EQ(label.Left(), 100);  // section coordinates, not relative to the text box
    EXPECT_EQ(label.Section(), 0);
    EXPECT_EQ(r->Section(0).Controls().Count(), 2);
    EXPECT_EQ(r->Section(0).Name(), "Détail");
    EXPECT_EQ(r->RecordSource(), "Commandes");
}

TEST(ExportReader, ContinuationLinesJoinBeforeUnescaping) {
    // The chunks split "\\\"" style escapes only between whole escapes; "tb" + "lRFI" joins mid-word.
    std::string props =
        "    RecordSource =\"SELECT tblRFI.[RFI Tracking #], tb\"\n"
        "        \"lRFI.ApplicantID FROM tblRFI WHERE x=\\\"a\\\"\\015\\012ORDER BY 1\"\n"
        "    Caption =\"tab\\011back\\\\slash\"\n";
    auto r = Read(Export(props, "        Begin Section\n        End\n"));
    EXPECT_EQ(r->RecordSource(),
              "SELECT tblRFI.[RFI Tracking #], tblRFI.ApplicantID FROM tblRFI WHERE x=\"a\"\r\nORDER BY 1");
    EXPECT_EQ(r->Caption(), "tab\tback\\slash");
}

TEST(ExportReader, NotDefaultMeaningsAndRepeatedProperties) {
    struct Case {
        const char* property;
        bool expected;
    };
    const Case cases[] = {
        {"Visible", false},   {"TabStop", false},       {"Enabled", false},      {"CanGrow", true},
        {"FontItalic", true}, {"HideDuplicates", true}, {"FontUnderline", true},
    };
    for (const Case& c : cases) {
        std::string body =
            "        Begin Section\n            Begin\n                Begin TextBox\n"
            "                    Name =\"t\"\n                    " +
            std::string(c.property) + " = NotDefault\n                End\n            End\n        End\n";
        auto r = Read(Export("", body));
        EXPECT_EQ(r->Controls("t").Property(c.property).ToBool(), c.expected) << c.property;
    }
    auto r = Read(Export("    RecordSource =\"a\"\n    AllowReportView =0\n    RecordSource =\"b\"\n",
                         "        Begin Section\n        End\n"));
    EXPECT_EQ(r->RecordSource(), "b");
    EXPECT_EQ(r->Property("AllowReportView").ToLong(), 0);
}

TEST(ExportReader, DefaultsBlockThenBuiltInDefault) {
    std::string body =
        "        Begin TextBox\n"
        "            FontName =\"Calibri\"\n"
        "            FontSize =11\n"
        "            OldBorderStyle =0\n"
        "        End\n"
        "        Begin Section\n"
        "            Begin\n"
        "                Begin TextBox\n"
        "                    Name =\"a\"\n"
        "                End\n"
        "                Begin TextBox\n"
        "                    Name =\"b\"\n"
        "                    FontSize =14\n"
        "                    OldBorderStyle =1\n"
        "                    NoSaveCTIWhenDisabled =1\n"
        "                End\n"
        "                Begin Label\n"
        "                    Name =\"c\"\n"
        "                End\n"
        "            End\n"
        "        End\n";
    auto r = Read(Export("", body));
    Control& a = r->Controls("a");
    Control& b = r->Controls("b");
    Control& c = r->Controls("c");
    EXPECT_EQ(a.FontName(), "Calibri");
    EXPECT_EQ(a.FontSize(), 11);
    EXPECT_EQ(a.BorderStyle(), 0);
    EXPECT_EQ(b.FontSize(), 14);
    EXPECT_EQ(b.BorderStyle(), 1);
    EXPECT_EQ(b.Property("NoSaveCTIWhenDisabled").ToLong(), 1);  // unknown properties are kept
    EXPECT_EQ(c.FontName(), "Arial");                            // no Label defaults: built in
    EXPECT_EQ(c.FontWeight(), 400);
    EXPECT_EQ(c.BorderStyle(), 0);
    EXPECT_EQ(a.Left(), 0);
    EXPECT_TRUE(a.Visible());
    EXPECT_EQ(a.BackColor(), 16777215);
}

// A size the control does not state comes from the defaults block for its kind, else from the
// size Access gives that kind.
TEST(ExportReader, UnstatedSizeTakesTheDefaultsBlockThenTheKindsOwnSize) {
    struct Case {
        const char* kind;
        long width, height;
    };
    const Case cases[] = {
        {"TextBox", 1440, 240},    {"ComboBox", 1440, 240}, {"CheckBox", 260, 240}, {"Line", 1440, 0},
        {"Rectangle", 1440, 1440}, {"Label", 1701, 240},  // the defaults block's width
    };
    std::string controls;
    for (const Case& c : cases)
        controls += std::string("                Begin ") + c.kind + "\n                    Name =\"" +
                    c.kind + "\"\n                End\n";
    const std::string body =
        "        Begin Label\n            Width =1701\n        End\n"
        "        Begin Section\n            Begin\n" +
        controls + "            End\n        End\n";
    auto r = Read(Export("", body));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const Control& control = r->Controls(c.kind);
        EXPECT_EQ(control.Width(), c.width);
        EXPECT_EQ(control.Height(), c.height);
    }
}

TEST(ExportReader, MissingObjectsAndPropertiesThrowAccessNumbers) {
    auto r = Read(Export("", kDetailWithControls));
    auto number = [](auto&& f) {
        try {
            f();
        } catch (const vb::ComError& e) {
            return e.Number();
        }
        return 0L;
    };
    EXPECT_EQ(number([&] { r->Section(3); }), kErrBadSectionNumber);
    EXPECT_EQ(number([&] { r->Section(26); }), kErrBadSectionNumber);
    EXPECT_EQ(number([&] { r->GroupLevel(0); }), kErrBadGroupLevel);
    EXPECT_EQ(number([&] { r->Controls("nope"); }), kErrControlNotFound);
    EXPECT_EQ(number([&] { r->Controls().Item(2); }), kErrControlNotFound);
    EXPECT_EQ(number([&] { r->Controls("Label l'état").ControlSource(); }), kErrNoSuchProperty);
    EXPECT_EQ(number([&] { r->Controls("N° commande").Caption(); }), kErrNoSuchProperty);
    EXPECT_EQ(number([&] { r->Controls("N° commande").Filename(); }), kErrNoSuchProperty);
    EXPECT_EQ(number([&] { r->Property("NoSuchThing"); }), kErrNoSuchProperty);
    EXPECT_EQ(number([&] { r->Controls("N° commande").setFilename("x.bmp"); }), kErrNoSuchProperty);
}

TEST(ExportReader, GroupSectionsFollowBreakLevelWithSortOnlyLevelFirst) {
    std::string body =
        "        Begin BreakLevel\n"
        "            ControlSource =\"Name\"\n"
        "        End\n"
        "        Begin BreakLevel\n"
        "            GroupHeader = NotDefault\n"
        "            GroupFooter = NotDefault\n"
        "            SortOrder = NotDefault\n"
        "            ControlSource =\"Region\"\n"
        "            GroupOn =2\n"
        "            KeepTogether = NotDefault\n"
        "        End\n"
        "        Begin FormHeader\n            Name =\"EntêteÉtat\"\n        End\n"
        "        Begin PageHeader\n            Name =\"EntêtePage\"\n        End\n"
        "        Begin BreakHeader\n"
        "            Name =\"Gruppenkopf0\"\n"
        "            BreakLevel =1\n"
        "        End\n"
        "        Begin Section\n            Name =\"Detail\"\n        End\n"
        "        Begin BreakFooter\n"
        "            Name =\"Gruppenfuss0\"\n"
        "            BreakLevel =1\n"
        "        End\n"
        "        Begin PageFooter\n            Visible = NotDefault\n        End\n"
        "        Begin FormFooter\n        End\n";
    auto r = Read(Export("", body));
    ASSERT_EQ(r->GroupLevelCount(), 2);
    EXPECT_FALSE(r->GroupLevel(0).GroupHeader());
    EXPECT_FALSE(r->GroupLevel(0).GroupFooter());
    EXPECT_FALSE(r->GroupLevel(0).SortOrder());
    EXPECT_TRUE(r->GroupLevel(1).GroupHeader());
    EXPECT_TRUE(r->GroupLevel(1).GroupFooter());
    EXPECT_TRUE(r->GroupLevel(1).SortOrder());
    EXPECT_EQ(r->GroupLevel(1).ControlSource(), "Region");
    EXPECT_EQ(r->GroupLevel(1).GroupOn(), 2);
    EXPECT_EQ(r->GroupLevel(1).KeepTogether(), 1);
    EXPECT_EQ(r->SectionNumbers(), (std::vector<int>{0, 1, 2, 3, 4, 7, 8}));
    EXPECT_EQ(r->Section(7).Name(), "Gruppenkopf0");
    EXPECT_EQ(r->Section(8).Name(), "Gruppenfuss0");
    EXPECT_EQ(r->Section(7).BreakLevel(), 1);
    EXPECT_EQ(r->Section(0).BreakLevel(), -1);
    EXPECT_FALSE(r->Section(4).Visible());
    EXPECT_TRUE(r->Section(3).Visible());
    EXPECT_FALSE(r->HasSection(5));
}

TEST(ExportReader, SubformImageAndBlocks) {
    std::string body =
        "        Begin Section\n"
        "            Begin\n"
        "                Begin Subform\n"
        "                    Name =\"subDetails\"\n"
        "                    SourceObject =\"Report.rptDetails\"\n"
        "                    LinkMasterFields =\"DisasterID;Assigned Data Validation Specialist\"\n"
        "                    LinkChildFields =\"DisasterID;Specialist\"\n"
        "                    OldBorderStyle =0\n"
        "                End\n"
        "                Begin Image\n"
        "                    Name =\"logoEmbedded\"\n"
        "                    PictureData = Begin\n"
        "                        0x28000000100000001000000001000400 ,\n"
        "                        0x0000\n"
        "                    End\n"
        "                End\n"
        "                Begin Image\n"
        "                    Name =\"logoLinked\"\n"
        "                    PictureType =1\n"
        "                    Picture =\"C:\\\\pics\\\\logo.jpg\"\n"
        "                End\n"
        "                Begin CommandButton\n"
        "                    Name =\"cmd\"\n"
        "                    OnClickEmMacro = Begin\n"
        "                        Version =196611\n"
        "                        Begin\n"
        "                            Action =\"OpenForm\"\n"
        "                            Argument =\"Faculty Details\"\n"
        "                            Argument =\"0\"\n"
        "                        End\n"
        "                    End\n"
        "                End\n"
        "            End\n"
        "        End\n";
    auto r =
        Read(Export("    UnknownProp = {404 ,0 ,0 ,0 ,4 } Begin\n        0x0102\n    End\n", body,
                    "CodeBehindForm\nAttribute VB_GlobalNameSpace = False\n\nOption Compare Database\n"));
    Control& sub = r->Controls("subDetails");
    EXPECT_EQ(sub.ControlType(), acSubform);
    EXPECT_EQ(sub.SourceObject(), "Report.rptDetails");
    EXPECT_EQ(sub.LinkMasterFields(), "DisasterID;Assigned Data Validation Specialist");
    EXPECT_EQ(sub.LinkChildFields(), "DisasterID;Specialist");
    EXPECT_EQ(sub.BorderStyle(), 0);
    // Unwritten, a subreport control grows (exports never write it); written, it does not.
    EXPECT_TRUE(sub.CanGrow());
    auto fixed = Read(Export("",
                             "        Begin Section\n            Begin\n                Begin Subform\n"
                             "                    Name =\"s\"\n                    CanGrow = NotDefault\n"
                             "                End\n            End\n        End\n"));
    EXPECT_FALSE(fixed->Controls("s").CanGrow());
    Control& embedded = r->Controls("logoEmbedded");
    EXPECT_EQ(embedded.PictureType(), 0);
    EXPECT_EQ(embedded.Property("PictureData").ToBytes().size(), 18u);
    Control& linked = r->Controls("logoLinked");
    EXPECT_EQ(linked.PictureType(), 1);
    EXPECT_EQ(linked.Picture(), "C:\\pics\\logo.jpg");
    std::string macro = r->Controls("cmd").Property("OnClickEmMacro").ToString();
    EXPECT_NE(macro.find("Argument =\"Faculty Details\""), std::string::npos);
    EXPECT_EQ(r->Property("UnknownProp").ToBytes(), (vb::Bytes{1, 2}));
    EXPECT_EQ(r->CodeBehindForm(), "Attribute VB_GlobalNameSpace = False\r\n\r\nOption Compare Database\r\n");

    ReadOptions skip;
    skip.keepBinary = false;
    auto lean = Read(Export("", body), skip);
    EXPECT_FALSE(lean->Controls("logoEmbedded").Explicit().Has("PictureData"));
}

TEST(ExportReader, EncodingsAndLineEnds) {
    const std::string utf8 = Export("    Caption =\"Pér\"\n", "        Begin Section\n        End\n");
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::string cp1252 = utf8;
    cp1252.replace(cp1252.find("\xC3\xA9"), 2, "\xE9");
    auto toUtf16 = [](const std::string& ascii, bool bom) {
        std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
        // the only non-ASCII character of the fixture is é (U+00E9)
        for (size_t i = 0; i < ascii.size(); ++i) {
            if (ascii.compare(i, 2, "\xC3\xA9") == 0) {
                out += std::string("\xE9\x00", 2);
                ++i;
            } else {
                out += ascii[i];
                out += '\0';
            }
        }
        return out;
    };
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8},
        {"UTF-8 with BOM and CRLF", "\xEF\xBB\xBF" + crlf},
        {"Windows-1252", cp1252},
        {"UTF-16LE with BOM", toUtf16(crlf, true)},
        {"UTF-16LE without BOM", toUtf16(utf8, false)},
    };
    for (const Case& c : cases) {
        auto r = Read(c.bytes);
        EXPECT_EQ(r->Caption(), "Pér") << c.what;
        EXPECT_EQ(r->ExportVersion(), 20) << c.what;
        EXPECT_TRUE(r->HasSection(0)) << c.what;
    }
    ReadOptions utf8Ansi;
    utf8Ansi.ansi = ReadOptions::Ansi::Utf8;
    EXPECT_EQ(Read(utf8, utf8Ansi)->Caption(), "Pér");
}

TEST(ExportReader, OrientationFromDevModeThenSidecarThenPortrait) {
    // DEVMODEA: orientation at byte 44; DEVMODEW: at byte 76.
    auto devmode = [](size_t at, int orientation) {
        std::string hex;
        for (size_t i = 0; i < at + 4; ++i) {
            int b = (i == at) ? orientation : 0;
            char buf[3];
            std::snprintf(buf, sizeof buf, "%02x", b);
            hex += buf;
        }
        return hex;
    };
    const std::string section = "        Begin Section\n        End\n";
    auto withBlock = [&](const char* name, size_t at, int orientation) {
        return Export(
            std::string("    ") + name + " = Begin\n        0x" + devmode(at, orientation) + "\n    End\n",
            section);
    };
    EXPECT_EQ(Read(withBlock("PrtDevMode", 44, 2))->Orientation(), 2);
    EXPECT_EQ(Read(withBlock("PrtDevModeW", 76, 2))->Orientation(), 2);
    EXPECT_EQ(Read(withBlock("PrtDevMode", 44, 1))->Orientation(), 1);

    access_test::TempFolder folder;
    std::string plain = Export("", section);
    std::string file = folder.Write("wide.bas", plain);
    folder.Write("wide.json",
                 "{\"Items\": {\"Printer\": {\"Orientation\": \"Landscape\", \"PaperSize\": \"A4\"}}}");
    EXPECT_EQ(ReadReportFile(file)->Orientation(), 2);
    EXPECT_EQ(ReadReportFile(file)->Name(), "wide");
    std::string pv = folder.Write("pv.bas", plain);
    folder.Write("pv.pv", "2\n1\n2794\n2159\n");
    EXPECT_EQ(ReadReportFile(pv)->Orientation(), 2);
    std::string none = folder.Write("none.bas", plain);
    EXPECT_EQ(ReadReportFile(none)->Orientation(), 1);
    // the export's own block wins over the sidecar
    std::string both = folder.Write("both.bas", withBlock("PrtDevMode", 44, 1));
    folder.Write("both.json", "{\"Orientation\": \"Landscape\"}");
    EXPECT_EQ(ReadReportFile(both)->Orientation(), 1);
}
