// Pictures of the simulated screen: the progress page's journal lines, the moments pictures are
// taken at, the PNG files and their SCREEN lines, the pixels of the background's bands and of
// the bars' fills, and the screen replayed from a journal.
#include <gtest/gtest.h>

#include <png.h>

#include <filesystem>
#include <fstream>

#include "installer_pages.h"
#include "platform/sandbox/dialog_painter.h"
#include "platform/painting/percent_bar_painter.h"
#include "platform/sandbox/journal_reader.h"
#include "platform/sandbox/sandbox_ui.h"
#include "platform/sandbox/screen_pictures.h"
#include "platform/sandbox/screen_replay.h"
#include "tests/support/temp_machine.h"
#include "uninstaller_pages.h"

namespace rvx::sandbox {
namespace {

namespace fs = std::filesystem;
using platform::Colour;
using platform::Rect;

const DialogList kInstallerDialogs = installer::dialogs::kAllDialogs;

class FirstButton : public Responder {
public:
    platform::Answer AnswerMessage(const platform::MessageRequest&) override { return platform::Answer::ok; }
    int AnswerPage(platform::PageModel&) override { return 1; }
    std::optional<std::string> AnswerBrowse(std::string_view, std::string_view) override { return std::nullopt; }
};

// What the observer saw at each moment: the moment, the progress lines and bars, the page id.
class Recorder : public ScreenObserver {
public:
    void Shown(const ScreenState& screen, ScreenMoment moment) override {
        std::string seen = MomentName(moment);
        if (screen.progress.shown)
            seen += " [" + screen.progress.line1 + "|" + screen.progress.line2 + "|" + std::to_string(screen.progress.file_percent) +
                    "," + std::to_string(screen.progress.total_percent) + "]";
        if (screen.page) seen += " page " + std::to_string(screen.page->dialog_id);
        seen_.push_back(seen);
    }
    std::vector<std::string> seen_;
};

sandbox::MachineConfig SmallScreen(int pictures) {
    auto config = sandbox::MachineConfig::Default();
    config.display.width = 640;
    config.display.height = 480;
    config.display.pictures = pictures;
    return config;
}

struct Png {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;
    Colour At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Png ReadPng(const fs::path& path) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    Png png;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return png;
    image.format = PNG_FORMAT_RGB;
    png.width = int(image.width);
    png.height = int(image.height);
    png.pixels.resize(size_t(png.width) * size_t(png.height));
    if (!png_image_finish_read(&image, nullptr, png.pixels.data(), 0, nullptr)) png = Png{};
    return png;
}

// The columns of row y that hold the colour: first and one past the last; {0, 0} for none.
std::pair<int, int> RowRun(const Png& png, int y, Colour colour) {
    int first = -1, last = -1;
    for (int x = 0; x < png.width; ++x)
        if (png.At(x, y) == colour) {
            if (first < 0) first = x;
            last = x;
        }
    return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
}

// The run of the colour on row y that holds column x: first and one past the last.
std::pair<int, int> RunAround(const Png& png, int y, int x, Colour colour) {
    int first = x, last = x;
    while (first > 0 && png.At(first - 1, y) == colour) --first;
    while (last + 1 < png.width && png.At(last + 1, y) == colour) ++last;
    return {first, last + 1};
}

// The rows of column x that hold the colour, as Run does for columns.
std::pair<int, int> Column(const Png& png, int x, Colour colour) {
    int first = -1, last = -1;
    for (int y = 0; y < png.height; ++y)
        if (png.At(x, y) == colour) {
            if (first < 0) first = y;
            last = y;
        }
    return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
}

TEST(ProgressJournal, TextsAndPercentagesAreJournaledOnlyWhenTheyChange) {
    test_support::TempMachine temp;
    FirstButton answers;
    SandboxUi ui(temp.machine().journal(), answers);
    ui.SetProgressText(1, "before the page");  // nothing is shown yet
    ui.ShowProgress("Installing");
    ui.SetProgressText(1, "Copying file a.txt");
    ui.SetProgressText(1, "Copying file a.txt");
    ui.SetProgressText(2, "to folder \"C:\\Demo\"");
    ui.SetProgressBars(0, 0);
    ui.SetProgressBars(40, 7);
    ui.SetProgressBars(40, 7);
    ui.SetProgressBars(41, 7);
    ui.CloseProgress();
    EXPECT_EQ(temp.JournalLines("PROGRESS"),
              (std::vector<std::string>{"PROGRESS action=show caption=\"Installing\"",
                                        "PROGRESS action=text line=1 text=\"Copying file a.txt\"",
                                        "PROGRESS action=text line=2 text=\"to folder \\\"C:\\\\Demo\\\"\"",
                                        "PROGRESS action=bars file=40 total=7", "PROGRESS action=bars file=41 total=7",
                                        "PROGRESS action=close"}));
}

TEST(ScreenMoments, PicturesAreTakenWhenPagesShowAndOnceBothProgressLinesMayHaveChanged) {
    test_support::TempMachine temp;
    FirstButton answers;
    Recorder recorder;
    {
        SandboxUi ui(temp.machine().journal(), answers, &recorder);
        ASSERT_TRUE(ui.CreateBackground());
        ui.SetBackgroundLook({{}, "", 0, 0, 255});
        ui.SetBackgroundTitle("Demo");
        platform::PageModel page;
        page.dialog_id = 104;
        EXPECT_EQ(ui.ShowPage(page).value_or(0), 1);
        ui.ShowProgress("Copy");
        ui.SetProgressText(1, "file a");
        ui.SetProgressText(2, "to X");
        ui.SetProgressBars(0, 10);   // the texts' picture, with the bars as they now stand
        ui.SetProgressBars(50, 20);  // bars alone: no picture
        ui.SetProgressText(1, "file b");
        ui.SetProgressText(1, "file c");  // the first line again: b's picture first
        ui.SetProgressText(2, "to Y");
        ui.CloseProgress();               // c's texts, then the page as it closes is the same picture
        ui.ShowProgress("Again");
        ui.CloseProgress();               // unchanged since it was shown: no second picture
        ui.DestroyBackground();
    }
    EXPECT_EQ(recorder.seen_, (std::vector<std::string>{"background", "page page 104", "progress [||0,0]",
                                                        "progress [file a|to X|0,10]", "progress [file b|to X|50,20]",
                                                        "progress [file c|to Y|50,20]", "progress [||0,0]", "end"}));
}

TEST(ScreenMoments, AProgramThatEndsWithItsBackgroundShownLeavesALastPicture) {
    test_support::TempMachine temp;
    FirstButton answers;
    Recorder recorder;
    { SandboxUi(temp.machine().journal(), answers, &recorder).SetBackgroundTitle("Demo"); }
    EXPECT_EQ(recorder.seen_, (std::vector<std::string>{"background", "end"}));
}

TEST(ScreenPictures, EachPictureIsAPngOfTheScreenNamedByASCREENLineAndTheLimitKeepsTheLast) {
    test_support::TempMachine temp(SmallScreen(2));
    FirstButton answers;
    {
        ScreenPictures pictures(temp.machine(), kInstallerDialogs);
        SandboxUi ui(temp.machine().journal(), answers, &pictures);
        ui.SetBackgroundLook({{}, "", 200, 100, 50});
        ui.SetBackgroundTitle("Demo");
        platform::PageModel page = platform::ModelOf(installer::dialogs::install_folder_page::kDescription);
        EXPECT_EQ(ui.ShowPage(page).value_or(0), 1);
        ui.ShowProgress("");  // over the limit
        ui.SetProgressText(1, "x");
        ui.SetProgressBars(1, 1);
        ui.DestroyBackground();  // the end is always drawn
    }
    EXPECT_EQ(temp.JournalLines("SCREEN"),
              (std::vector<std::string>{"SCREEN moment=background file=\"screens/0001-background.png\"",
                                        "SCREEN moment=page id=104 file=\"screens/0002-page.png\"",
                                        "SCREEN moment=progress result=limit pictures=2",
                                        "SCREEN moment=end file=\"screens/0003-end.png\""}));
    const fs::path screens = temp.folder() / "machine" / "screens";
    const Png background = ReadPng(screens / "0001-background.png");
    ASSERT_EQ(background.width, 640);
    ASSERT_EQ(background.height, 480);
    EXPECT_EQ(background.At(639, 0), (Colour{200, 100, 50}));
    // The page lies in front in the middle of the screen: its caption bar is centred.
    const Png page = ReadPng(screens / "0002-page.png");
    ASSERT_EQ(page.width, 640);
    const auto caption = RowRun(page, Column(page, 320, kCaptionColour).first, kCaptionColour);
    EXPECT_GT(caption.second - caption.first, 300);
    EXPECT_LE(std::abs((caption.first + caption.second) - 640), 1);

    // A later run numbers on after what is there.
    {
        ScreenPictures pictures(temp.machine(), kInstallerDialogs);
        SandboxUi(temp.machine().journal(), answers, &pictures).SetBackgroundTitle("Again");
    }
    EXPECT_TRUE(fs::exists(screens / "0004-background.png"));
    EXPECT_TRUE(fs::exists(screens / "0005-end.png"));
}

TEST(ScreenPictures, NoneAreWrittenWhenTheDisplayAsksForNone) {
    test_support::TempMachine temp(SmallScreen(0));
    FirstButton answers;
    {
        ScreenPictures pictures(temp.machine(), kInstallerDialogs);
        SandboxUi ui(temp.machine().journal(), answers, &pictures);
        ui.SetBackgroundTitle("Demo");
        ui.DestroyBackground();
        EXPECT_EQ(pictures.written(), 0);
    }
    EXPECT_TRUE(temp.JournalLines("SCREEN").empty());
    EXPECT_FALSE(fs::exists(temp.folder() / "machine" / "screens"));
}

// The screen of a copy: the gradient's bands, and the two bars filled to their percentages.
class ScreenPixels : public ::testing::Test {
protected:
    Png Draw(uint32_t colours, int file_percent, int total_percent) {
        auto config = SmallScreen(10);
        config.display.width = 1024;
        config.display.height = 768;
        config.display.colours = colours;
        test_support::TempMachine temp(config);
        FirstButton answers;
        {
            ScreenPictures pictures(temp.machine(), kInstallerDialogs);
            SandboxUi ui(temp.machine().journal(), answers, &pictures);
            ui.SetBackgroundLook({{}, "", 250, 120, 60});
            ui.SetBackgroundTitle("Demo Viewer");
            ui.ShowProgress("Demo");
            ui.SetProgressText(1, "Copying file readme.txt");
            ui.SetProgressText(2, "to folder C:\\Demo");
            ui.SetProgressBars(file_percent, total_percent);
        }
        return ReadPng(temp.folder() / "machine" / "screens" / "0003-progress.png");
    }
};

TEST_F(ScreenPixels, TheBandsFadeFromTheScriptsColourAndTheBarsFillToTheirPercentages) {
    const Png png = Draw(16777216, 40, 75);
    ASSERT_EQ(png.width, 1024);
    // 76 bands of 768 / 76 pixels; band i has each component c less i * c / 76.
    for (int band : {0, 1, 30, 75}) {
        const int y = band * 768 / 76 + 1;
        EXPECT_EQ(png.At(1000, y), (Colour{uint8_t(250 - band * 250 / 76), uint8_t(120 - band * 120 / 76), uint8_t(60 - band * 60 / 76)}))
            << "band " << band;
    }
    // Each bar: the sunken border's shadow on the row above the fill spans the bar; the fill
    // covers the rectangle one pixel inside it (outline included) from its left edge for the
    // percentage of its width.
    struct Bar {
        Colour colour;
        int percent;
    };
    for (const Bar bar : {Bar{platform::painting::kUpperBarColour, 75}, Bar{platform::painting::kLowerBarColour, 40}}) {
        const auto rows = Column(png, 512 - 100, bar.colour);
        ASSERT_GT(rows.second, rows.first);
        const int y = (rows.first + rows.second) / 2;
        const auto fill = RowRun(png, rows.first, bar.colour);
        const auto border = RunAround(png, rows.first - 1, fill.first, kButtonShadow);
        const int inner_left = border.first + 1;
        const int inner_width = border.second - border.first - 2;
        EXPECT_GT(inner_width, 400);
        EXPECT_EQ(fill.first, inner_left);
        EXPECT_EQ(fill.second - fill.first, inner_width * bar.percent / 100);
        // The percentage is written in the middle of the bar.
        EXPECT_GT(RowRun(png, y, Colour{0, 0, 0}).first, inner_left + 1);
    }
}

TEST_F(ScreenPixels, APaletteDisplayShowsTheGradientInBlueAndAnEmptyBarHasNoFill) {
    const Png png = Draw(256, 0, 100);
    ASSERT_EQ(png.width, 1024);
    EXPECT_EQ(png.At(1000, 1), (Colour{0, 0, 255}));
    EXPECT_EQ(png.At(1000, 30 * 768 / 76 + 1), (Colour{0, 0, uint8_t(255 - 30 * 255 / 76)}));
    EXPECT_EQ(Column(png, 512, platform::painting::kLowerBarColour), (std::pair{0, 0}));
    EXPECT_GT(Column(png, 512, platform::painting::kUpperBarColour).second, 0);
}

TEST(JournalReader, FieldsWordsAndEscapesAreReadBack) {
    auto line = ParseJournalLine(R"(PAGE id=104 caption="A \"b\"\n\\c" x1009="1":"Desktop icon" b117!="< &Back" -> button=1)");
    ASSERT_TRUE(line) << line.error().detail;
    EXPECT_EQ(line->kind, "PAGE");
    EXPECT_EQ(line->Value("caption"), "A \"b\"\n\\c");
    EXPECT_EQ(line->Value("x1009"), "1");
    EXPECT_EQ(line->Value("b117!"), "< &Back");
    EXPECT_EQ(line->Value("->"), "");
    EXPECT_EQ(line->Value("button"), "1");
    EXPECT_EQ(line->Value("missing"), std::nullopt);
    EXPECT_EQ(ParseJournalLine("BACKGROUND action=look picture=\"a\" picture=\"b\"")->Values("picture"),
              (std::vector<std::string>{"a", "b"}));

    for (const char* bad : {"", "lower case=1", "PAGE caption=\"open", "PAGE caption=\"bad \\q\"", "PAGE a=\"x\"b=1", "PAGE =1",
                            "PAGE a\"b=1", "PROGRAM a\r\r", "PROGRAM a\tb=1"}) {
        auto parsed = ParseJournalLine(bad);
        EXPECT_FALSE(parsed) << bad;
        if (!parsed) {
            EXPECT_NE(parsed.error().detail.find("journal line: "), std::string::npos);
        }
    }
}

TEST(ScreenReplay, TheLastProgramsScreenAsItStoodBeforeItsWindowWentOrAtAGivenLine) {
    const std::string journal =
        "PROGRAM path=\"D:\\\\Rovexa.exe\" arguments=\"\"\n"
        "BACKGROUND action=create\n"
        "BACKGROUND action=look picture=\"D:\\\\back.bmp\" colour=10,20,30\n"
        "BACKGROUND action=title title=\"Demo\"\n"
        "PROGRESS action=show caption=\"Copy\"\n"
        "PROGRESS action=text line=1 text=\"Copying file a\"\n"
        "PROGRESS action=bars file=50 total=25\n"
        "PAGE id=131 caption=\"x\" -> button=1\n"
        "PROGRESS action=text line=2 text=\"to folder B\"\n"
        "PROGRESS action=close\n"
        "BACKGROUND action=destroy\n"
        "EXIT code=0\n";
    auto last = ReplayScreen(journal);
    ASSERT_TRUE(last) << last.error().detail;
    EXPECT_EQ(last->program, "D:\\Rovexa.exe");
    EXPECT_EQ(last->line, 10u);
    EXPECT_TRUE(last->screen.background_shown);
    EXPECT_EQ(last->screen.title, "Demo");
    EXPECT_EQ(last->screen.look.pictures, (std::vector<std::string>{"D:\\back.bmp"}));
    EXPECT_EQ(last->screen.look.red + last->screen.look.green + last->screen.look.blue, 60);
    EXPECT_FALSE(last->screen.progress.shown);

    auto during = ReplayScreen(journal, 9);
    ASSERT_TRUE(during);
    EXPECT_TRUE(during->screen.progress.shown);
    EXPECT_EQ(during->screen.progress.line1, "Copying file a");
    EXPECT_EQ(during->screen.progress.line2, "to folder B");
    EXPECT_EQ(during->screen.progress.file_percent, 50);
    EXPECT_EQ(during->screen.progress.total_percent, 25);

    // A later program starts from an empty screen.
    auto next = ReplayScreen(journal + "PROGRAM path=\"C:\\\\Dismara.exe\" arguments=\"\"\nPROGRESS action=show caption=\"Removing\"\n");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->program, "C:\\Dismara.exe");
    EXPECT_FALSE(next->screen.background_shown);
    EXPECT_TRUE(next->screen.progress.shown);

    auto broken = ReplayScreen("PROGRAM path=\"x\"\nPROGRESS action=text text=\"open\n");
    ASSERT_FALSE(broken);
    EXPECT_NE(broken.error().detail.find("line 2: "), std::string::npos) << broken.error().detail;
}

TEST(ScreenPainter, TheUninstallersWindowShowsItsHeadingActionAndBar) {
    ProgressState progress{true, "Removing Demo", "Deleting a file", "", 0, 60};
    const auto scene = SceneOfProgress(progress, uninstaller::dialogs::kAllDialogs);
    ASSERT_NE(scene.dialog, nullptr);
    EXPECT_EQ(scene.caption, "Norvane uninstall");
    EXPECT_EQ(scene.looks.at(1004).text, "Removing Demo");
    EXPECT_EQ(scene.looks.at(1002).text, "Deleting a file");
    EXPECT_EQ(scene.looks.at(1007).percent, 60);

    const auto installer = SceneOfProgress(progress, kInstallerDialogs);
    EXPECT_EQ(installer.caption, "Removing Demo");
    EXPECT_EQ(installer.looks.at(105).percent, 60);
    EXPECT_EQ(installer.looks.at(105).bar_colour, platform::painting::kUpperBarColour);
    EXPECT_EQ(installer.looks.at(103).bar_colour, platform::painting::kLowerBarColour);
}

}  // namespace
}  // namespace rvx::sandbox
