// Lines, boxes, images and pictures: the graphic controls of an Access section become line,
// box and picture objects of the matching designer section. Embedded images and custom
// controls without a file get the placeholder pictures shipped in the program folder.
// Positions and sizes are twips.
#include <filesystem>
#include <string>

#include "convert/convert.h"
#include "convert/trap.h"
#include "platform/access/colors.h"
#include "platform/common/vbstring.h"
#include "store/context.h"

namespace tolvaran {

namespace {

constexpr const char* kImagePlaceholder = "icons/yellowquestion.ico";
constexpr const char* kCustomPlaceholder = "brenmoor.bmp";

bool IsFile(const std::filesystem::path& p) {
    std::error_code ec;
    return !p.empty() && std::filesystem::is_regular_file(p, ec);
}

}  // namespace

std::string clsConvert::ProgramFile(const std::string& name) const {
    return ctx_.InFolder(name);
}

bool clsConvert::AddLineObject(designer::Section& section, access::Control& control, long top) {
    try {
        // The Access line's slant is not read: the line runs from the top-left to the
        // bottom-right corner of the control's box.
        const long left = control.Left();
        designer::LineObject& line =
            section.AddLineObject(left, top, left + control.Width(), top + control.Height());
        line.Suppress = !control.Visible();
        UpdateControl(&line, control, 1);
        return true;
    } catch (...) {
        RecordError("AddLineObject:" + CurrentError().description, ReportName, "", "", "n/a");
        return false;
    }
}

void clsConvert::AddBoxObject(designer::Section& section, access::Control& control, long top) {
    const long left = control.Left();
    designer::BoxObject& box =
        section.AddBoxObject(left, top, left + control.Width(), top + control.Height());
    box.FillColor = control.BackStyle() == 0 ? designer::kNoColor : access::ShownColor(control.BackColor());
    box.Suppress = !control.Visible();
    UpdateControl(&box, control, 0);
}

std::string clsConvert::LinkedPictureFile(const access::Control& control) const {
    std::string picture;
    try {
        picture = control.Picture();
    } catch (...) {
        return {};
    }
    if (picture.empty() || picture == "(none)") return {};
    // A path written on Windows: its separators, and a relative path from the Access file.
    const std::string slashed = vb::Replace(picture, "\\", "/");
    for (const std::string& candidate : {picture, slashed}) {
        const std::filesystem::path p(candidate);
        if (IsFile(p)) return p.string();
        if (p.is_relative() && !Database.empty()) {
            const std::filesystem::path beside = std::filesystem::path(Database).parent_path() / p;
            if (IsFile(beside)) return beside.string();
        }
    }
    return {};
}

void clsConvert::AddImageObject(designer::Section& section, access::Control& control, long top) {
    try {
        // An embedded picture cannot be taken out of the report: the placeholder stands in.
        // A linked picture is placed from its file when that file is at hand.
        std::string file;
        if (control.PictureType() != 0) file = LinkedPictureFile(control);
        if (file.empty()) file = ProgramFile(kImagePlaceholder);
        designer::PictureObject& picture = section.AddPictureObject(file, control.Left(), top);
        picture.Suppress = !control.Visible();
        UpdateControl(&picture, control, 0);
    } catch (...) {
        const TrappedError e = CurrentError();
        std::string name;
        try {
            name = control.Name();
        } catch (...) {
        }
        const std::string description =
            e.number == designer::kErrPictureFileMissing
                ? "'" + e.description + "' -->Image File Not Found for " + name + "."
                : "Image File Not Found for " + name + ".";
        RecordError(description, ReportName, "", "", "n/a");
    }
}

bool clsConvert::CustomControlHasFileNameProperty(access::Control& control) {
    try {
        (void)control.Filename();
        return true;
    } catch (...) {
        const TrappedError e = CurrentError();
        std::string cls;
        try {
            cls = control.Class();
        } catch (...) {
        }
        RecordError("CustomControlHasFileNameProperty:" + cls + ":" + e.description, ReportName, "", "",
                    "n/a");
        return false;
    }
}

void clsConvert::AddPictureObject(designer::Section& section, access::Control& control, long top) {
    std::string file;
    try {
        const bool hasFilename = CustomControlHasFileNameProperty(control);
        const std::string placeholder = ProgramFile(kCustomPlaceholder);
        if (hasFilename) {
            if (control.Filename().empty()) control.setFilename(placeholder);
        } else if (control.Object().empty()) {
            control.setObject(placeholder);
        }
        try {
            file = control.Filename();
            section.AddPictureObject(file, control.Left(), top).Suppress = !control.Visible();
        } catch (...) {
            RecordError("'" + CurrentError().description + "' -->Image File '" + file + "' not found for " +
                            control.Name() + ".",
                        ReportName, "", "", "n/a");
        }
    } catch (...) {
        RecordError("AddPictureObject:" + CurrentError().description, ReportName, "", "", "n/a");
    }
}

}  // namespace tolvaran
