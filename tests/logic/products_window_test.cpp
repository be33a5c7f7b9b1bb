// The company products window: the bulk/packaged switch, the checks on leaving and
// at confirmation, the rows it writes (byte for byte), modify and delete with their
// photos, and the photo rules.
#include <gtest/gtest.h>

#include "core/files/recordfile.h"
#include "core/tables/codetables.h"
#include "core/tables/deliveredtables.h"
#include "logic/masterdata/companyproducts.h"
#include "logic/shell/windowregistry.h"
#include "logic/window_fixtures.h"

namespace accise {
namespace {

using namespace companyproducts;
using testing::FakeServices;
using testing::RecordingPrompt;
using testing::WorkingFolder;

using Fields = std::vector<std::pair<const char*, const char*>>;

// Small files that pass the window's picture check.
const std::string kBmp = std::string("BM") + std::string(60, 'b');
const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(60, 'j');

std::string fileBytes(const fs::path& file) { return readRecords(file, 1, IfMissing::Empty).bytes(); }

class ProductsWindow : public ::testing::Test {
protected:
    ProductsWindow() {
        installDeliveredTables(work.folders);
        writeWholeFile(work.folders.general(kDefaultPhoto), kBmp);
        ctx.continuousEntry = true;
    }

    fs::path praz() const { return work.folders.table(kTable); }
    void fill(const Fields& fields) {
        for (const auto& [control, text] : fields) form.setValue(control, text);
    }
    // A packaged product that passes every check.
    void fillPackaged(const char* code = "BIONDA33") {
        fill({{"LE0", code},  {"LE1", "Bionda in bottiglia"}, {"R10", "12"},     {"R14", "5,2"},
              {"ME2", "B000-22030001-00-0000"}, {"LE3", "N"}, {"R11", "0,33"}, {"R12", "0,55"},
              {"LE5", "BO"}, {"I10", "24"}});
    }
    void fillBulk(const char* code = "ROSSA") {
        fill({{"LE0", code}, {"LE1", "Rossa sfusa"}, {"R10", "14,5"}, {"R14", ""},
              {"ME2", "B000-22030010-00-0000"}, {"LE3", "S"}, {"LE5", "CI"}});
    }
    fs::path writeFile(const char* name, const std::string& bytes) {
        const fs::path file = work.dir.path() / name;
        writeWholeFile(file, bytes);
        return file;
    }

    WorkingFolder work;
    CommandContext ctx = work.context();
    RecordingPrompt prompt;
    FakeServices services;
    CompanyProductsLogic form{ctx, prompt, services};
};

TEST(ProductPhotoRules, SizeNameAndShownSize) {
    const std::pair<std::uintmax_t, bool> sizes[] = {
        {0, true}, {102400, true}, {102527, true}, {102528, false}, {801 * 128, false}, {2000000, false}};
    for (const auto& [bytes, accepted] : sizes) EXPECT_EQ(photoSizeAccepted(bytes), accepted) << bytes;

    const Folders f = Folders::of("/w", "/t");
    EXPECT_EQ(productPhotoFile(f, 12, ".jpg"), f.general("12.jpg"));
    EXPECT_EQ(shownPhotoSize(115, 200, 100), (ShownSize{230, 115}));
    EXPECT_EQ(shownPhotoSize(115, 100, 200), (ShownSize{57, 115}));
    EXPECT_EQ(shownPhotoSize(115, 0, 0), (ShownSize{}));

    EXPECT_TRUE(looksLikePicture(kBmp));
    EXPECT_TRUE(looksLikePicture(kJpeg));
    EXPECT_FALSE(looksLikePicture("GIF89a......"));
    EXPECT_FALSE(looksLikePicture(""));
}

TEST_F(ProductsWindow, OpenedInReturnModeItGivesBackEveryCommandValueItChanged) {
    // The TA20 list of the products window sets the command mode to "T"; the caller
    // (the movement window, in each of its modes) must get its own values back.
    WindowRegistry registry;
    registry.addReturnWindow(kProductReturn, [this](CommandContext& c) {
        EXPECT_FALSE(c.continuousEntry);
        CompanyProductsLogic inner(c, prompt, services);
        inner.open();
        services.lookupAnswer = 1;
        inner.chooseTa20();
        EXPECT_EQ(c.mode, 'T');
        c.table = "TA20";
        c.enteredCode = "BIONDA33"; // the window's result
    });
    for (const char mode : {'M', 'E', 'e', ' '}) {
        ctx.mode = mode;
        ctx.table = "PROTOCOLLI";
        ctx.continuousEntry = true;
        ctx.correctionCancel = mode == 'E';
        ctx.tag = 16;
        registry.run(kProductReturn, ctx);
        EXPECT_EQ(ctx.mode, mode);
        EXPECT_EQ(ctx.table, "PROTOCOLLI");
        EXPECT_TRUE(ctx.continuousEntry);
        EXPECT_EQ(ctx.correctionCancel, mode == 'E');
        EXPECT_EQ(ctx.tag, 16);
        EXPECT_EQ(ctx.enteredCode, "BIONDA33");
    }
}

TEST_F(ProductsWindow, WithoutTheStructureFileTheWindowCloses) {
    fs::remove(work.folders.structure(kTable));
    form.open();
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"STRUTTURA DELLA TABELLA MANCANTE"});
}

TEST_F(ProductsWindow, OpeningShowsAnEmptyPackagedProduct) {
    int changes = 0;
    form.setViewChanged([&] { ++changes; });
    form.open();
    EXPECT_FALSE(form.closeRequested());
    EXPECT_EQ(form.value("LE3"), "N");
    EXPECT_EQ(form.value("DLE3"), "Condizionato");
    EXPECT_EQ(form.value("LE0"), "");
    EXPECT_TRUE(form.packagedShown());
    EXPECT_FALSE(form.productLoaded());
    EXPECT_EQ(form.focusAfterOpen(), "LE0");
    EXPECT_EQ(form.photo(), kBmp);
    EXPECT_EQ(form.photoExtension(), ".bmp");
    EXPECT_GT(changes, 0);

    // Without DEFAULT.bmp the frame stays empty, silently.
    fs::remove(work.folders.general(kDefaultPhoto));
    form.open();
    EXPECT_EQ(form.photo(), "");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProductsWindow, LeavingTheBulkChoiceShowsOrHidesThePackagedFields) {
    struct Case {
        const char* typed;
        FocusMove move;
        const char* description;
        bool packaged;
    };
    const Case cases[] = {
        {"S", FocusMove::to("LE5"), "Sfuso", false},
        {"N", FocusMove::to("R11"), "Condizionato", true},
        {"s", FocusMove::to("LE5"), "Sfuso", false},
        {"X", FocusMove::to("LE3"), "S o N", false}, // the fields stay as they were
        {"", FocusMove::to("LE3"), "S o N", false},
    };
    form.open();
    for (const Case& c : cases) {
        form.setValue("LE3", c.typed);
        EXPECT_EQ(form.leave("LE3"), c.move) << c.typed;
        EXPECT_EQ(form.value("DLE3"), c.description) << c.typed;
        EXPECT_EQ(form.packagedShown(), c.packaged) << c.typed;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProductsWindow, LeavingTheVolumeShowsTheHectolitreDegreesOfOneUnit) {
    form.open();
    form.setValue("R10", "12");
    form.setValue("R11", "0");
    EXPECT_EQ(form.leave("R11"), FocusMove::to("R11"));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kVolumeNotPositive});
    form.setValue("R11", "0,33");
    EXPECT_EQ(form.leave("R11"), FocusMove::next());
    EXPECT_EQ(form.value("R13"), "0,03960");
    form.setValue("R10", "11,75");
    form.setValue("R11", "1.500");
    form.leave("R11");
    EXPECT_EQ(form.value("R13"), "176,25000");
}

TEST_F(ProductsWindow, LeavingTheCode) {
    form.open();
    for (const char* blank : {"", " BIONDA"}) {
        form.setValue("LE0", blank);
        EXPECT_EQ(form.leave("LE0"), FocusMove::to("LE0")) << blank;
    }
    // A new code keeps the window in insert state with the typed code.
    form.setValue("LE0", "NUOVA");
    EXPECT_EQ(form.leave("LE0"), FocusMove::next());
    EXPECT_FALSE(form.productLoaded());
    EXPECT_EQ(form.value("LE0"), "NUOVA");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProductsWindow, ConfirmationChecksInOrder) {
    struct Case {
        Fields broken;
        const char* focus;
        const char* message;     // "" for none
        const char* description; // expected text of the named description box, or nullptr
        const char* box;
    };
    const Case cases[] = {
        {{{"LE0", ""}, {"R10", "1"}}, "LE0", "", nullptr, nullptr},
        {{{"R10", "4,99999"}, {"ME2", ""}}, "R10", kLowPlato, nullptr, nullptr},
        {{{"ME2", "B999-99999999-99-9999"}, {"LE3", "X"}}, "ME2", "", "CODICE NON VALIDO", "DME2"},
        {{{"LE3", "X"}, {"R11", "0"}}, "LE3", "", "S o N", "DLE3"},
        {{{"R11", "0"}, {"R12", "0"}}, "R11", kVolumeNotPositive, nullptr, nullptr},
        {{{"R12", "-1"}, {"LE5", "ZZ"}}, "R12", kWeightNotPositive, nullptr, nullptr},
        {{{"LE5", "ZZ"}, {"I10", "0"}}, "LE5", "", "CODICE NON VALIDO", "DLE5"},
        {{{"LE5", "CI"}, {"I10", "0"}}, "LE5", kUncountablePackaged, "Cisterna", "DLE5"},
        {{{"LE3", "S"}, {"LE5", "BO"}}, "LE5", kCountableBulk, "Bottiglia", "DLE5"},
        {{{"I10", "0"}}, "I10", kUnitsNotPositive, nullptr, nullptr},
        {{{"I10", "-3"}}, "I10", kUnitsNotPositive, nullptr, nullptr},
    };
    form.open();
    for (const Case& c : cases) {
        prompt.messages.clear();
        fillPackaged();
        fill(c.broken);
        EXPECT_EQ(form.confirm(), c.focus) << c.focus;
        EXPECT_EQ(prompt.messages, *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{})
            << c.focus;
        if (c.box) {
            EXPECT_EQ(form.value(c.box), c.description) << c.focus;
        }
    }
    EXPECT_TRUE(readTable(praz()).empty());
    EXPECT_FALSE(fs::exists(work.folders.general("1.bmp")));
}

TEST_F(ProductsWindow, SavedRowsByteForByte) {
    form.open();
    fillBulk();
    // Typed before switching to bulk: a bulk product keeps volume, weight and units at 0.
    fill({{"R11", "0,5"}, {"R12", "1"}, {"I10", "6"}});
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_FALSE(form.closeRequested()); // continuous entry: reset for the next product
    EXPECT_EQ(form.value("LE0"), "");
    EXPECT_EQ(form.value("LE3"), "N");
    EXPECT_TRUE(form.packagedShown());
    fillPackaged("BIONDA33");
    ASSERT_EQ(form.confirm(), std::nullopt);

    TableRecord bulk = blankTable();
    bulk.number = 1;
    bulk.col[0] = "ROSSA";
    bulk.col[1] = "Rossa sfusa";
    bulk.col[2] = "B000-22030010-00-0000";
    bulk.col[3] = "S";
    bulk.col[5] = "CI";
    bulk.col[9] = ".bmp";
    bulk.extra[0] = "PRAZ";
    bulk.nums[0] = 14.5;
    TableRecord packaged = blankTable();
    packaged.number = 2;
    packaged.col[0] = "BIONDA33";
    packaged.col[1] = "Bionda in bottiglia";
    packaged.col[2] = "B000-22030001-00-0000";
    packaged.col[3] = "N";
    packaged.col[5] = "BO";
    packaged.col[9] = ".bmp";
    packaged.extra[0] = "PRAZ";
    packaged.ints[0] = 24;
    packaged.nums[0] = 12;
    packaged.nums[1] = 0.33;
    packaged.nums[2] = 0.55;
    packaged.nums[3] = 0.0396;
    packaged.nums[4] = 5.2;
    padTable(bulk);
    padTable(packaged);
    // In code order; numbered in order of arrival.
    EXPECT_EQ(fileBytes(praz()), encodeTable(packaged) + encodeTable(bulk));
    // Each product got its photo: DEFAULT.bmp as shown.
    EXPECT_EQ(fileBytes(work.folders.general("1.bmp")), kBmp);
    EXPECT_EQ(fileBytes(work.folders.general("2.bmp")), kBmp);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(ProductsWindow, HectolitreDegreesAreStoredAsTheDecimalValue) {
    form.open();
    fillPackaged();
    fill({{"R10", "11,5"}, {"R11", "50"}});
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(readTable(praz())[0].nums[3], 5.75); // not 5.750000000000001
}

TEST_F(ProductsWindow, PhotoChoice) {
    form.open();
    std::string large = kJpeg;
    large.resize(102528, 'x'); // 801 blocks of 128 bytes
    form.loadPhoto(writeFile("grande.jpg", large));
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kPhotoTooLarge});
    EXPECT_EQ(form.photo(), kBmp);

    prompt.messages.clear();
    form.loadPhoto(writeFile("finta.jpg", "not a picture"));
    form.loadPhoto(work.dir.path() / "manca.jpg");
    EXPECT_EQ(prompt.messages, std::vector<std::string>(2, kPhotoInvalid));
    EXPECT_EQ(form.photo(), kBmp);

    prompt.messages.clear();
    std::string exact = kJpeg;
    exact.resize(102400, 'x');
    form.loadPhoto(writeFile("giusta.JPG", exact));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(form.photo(), exact);
    EXPECT_EQ(form.photoExtension(), ".JPG");

    // A check supplied by the window decides what is a picture.
    form.setPictureCheck([](std::string_view bytes) { return bytes.substr(0, 3) == "PNG"; });
    form.loadPhoto(writeFile("altra.png", "PNG..."));
    EXPECT_EQ(form.photo(), "PNG...");
    EXPECT_EQ(form.photoExtension(), ".png");

    fillPackaged();
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(fileBytes(work.folders.general("1.png")), "PNG...");
    EXPECT_EQ(readTable(praz())[0].col[9], ".png");
}

TEST_F(ProductsWindow, PhotoChosenAfterTheChecksRanIsSavedWithItsExtension) {
    // The checks run when the cursor reaches "&CONFERMA"; the photo button does not move it.
    form.open();
    fillPackaged();
    ASSERT_EQ(form.confirmChecks(), std::nullopt);
    form.loadPhoto(writeFile("dopo.jpg", kJpeg));
    form.confirmPressed();
    EXPECT_EQ(readTable(praz())[0].col[9], ".jpg");
    EXPECT_EQ(fileBytes(work.folders.general("1.jpg")), kJpeg);
    EXPECT_FALSE(fs::exists(work.folders.general("1.bmp")));
}

TEST_F(ProductsWindow, ModifyChangesTheRecordNumberAndLeavesTheOldPhoto) {
    form.open();
    fillPackaged("BIONDA33");
    form.loadPhoto(writeFile("bionda.jpg", kJpeg));
    ASSERT_EQ(form.confirm(), std::nullopt);
    fillBulk("ROSSA");
    ASSERT_EQ(form.confirm(), std::nullopt);
    ASSERT_TRUE(fs::exists(work.folders.general("1.jpg")));

    form.setValue("LE0", "BIONDA33");
    EXPECT_EQ(form.leave("LE0"), FocusMove::next());
    ASSERT_TRUE(form.productLoaded());
    EXPECT_EQ(form.value("LE1"), "Bionda in bottiglia");
    EXPECT_EQ(form.value("R10"), "12,00");
    EXPECT_EQ(form.value("R14"), "5,20");
    EXPECT_EQ(form.value("ME2"), "B000-22030001-00-0000");
    EXPECT_EQ(form.value("R11"), "0,33000");
    EXPECT_EQ(form.value("R12"), "0,55000");
    EXPECT_EQ(form.value("R13"), "0,03960");
    EXPECT_EQ(form.value("I10"), "24");
    EXPECT_EQ(form.value("LE5"), "BO");
    EXPECT_EQ(form.photo(), kJpeg);
    EXPECT_EQ(form.photoExtension(), ".jpg");

    // Re-confirmed with its own code: no "CODICE GIA` UTILIZZATO".
    form.setValue("LE1", "Bionda 33");
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(prompt.messages.empty());
    const auto rows = readTable(praz());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].col[0], "BIONDA33");
    EXPECT_EQ(rows[0].col[1], "Bionda 33");
    EXPECT_EQ(rows[0].number, 3);
    EXPECT_EQ(fileBytes(work.folders.general("3.jpg")), kJpeg);
    EXPECT_TRUE(fs::exists(work.folders.general("1.jpg"))); // left behind

    // Changing a loaded product's code to another product's code is refused.
    form.setValue("LE0", "ROSSA");
    form.leave("LE0");
    ASSERT_TRUE(form.productLoaded());
    EXPECT_FALSE(form.packagedShown()); // a bulk product
    EXPECT_EQ(form.value("DLE3"), "Sfuso");
    form.setValue("LE0", "BIONDA33");
    EXPECT_EQ(form.leave("LE0"), FocusMove::next()); // a product is loaded: nothing else is
    EXPECT_EQ(form.value("LE1"), "Rossa sfusa");
    EXPECT_EQ(form.confirm(), "LE0");
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kCodeInUse});
}

TEST_F(ProductsWindow, DeleteKeepsThePhoto) {
    form.open();
    fillPackaged("A1");
    ASSERT_EQ(form.confirm(), std::nullopt);
    fillPackaged("B2");
    ASSERT_EQ(form.confirm(), std::nullopt);
    form.setValue("LE0", "A1");
    form.leave("LE0");
    ASSERT_TRUE(form.productLoaded());
    EXPECT_EQ(form.remove(), "LE0"); // answered No
    EXPECT_EQ(readTable(praz()).size(), 2u);
    prompt.answers = {true};
    EXPECT_EQ(form.remove(), "LE0");
    EXPECT_EQ(prompt.questions, (std::vector<std::string>(2, std::string(kConfirmDeletion))));
    EXPECT_FALSE(form.productLoaded());
    EXPECT_EQ(form.value("LE0"), "");
    const auto rows = readTable(praz());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].col[0], "B2");
    EXPECT_TRUE(fs::exists(work.folders.general("1.bmp")));
    // Nothing loaded: "Cance&lla" deletes nothing.
    form.remove();
    EXPECT_EQ(readTable(praz()).size(), 1u);
}

TEST_F(ProductsWindow, LoadedPhotoThatIsNotAPictureIsTold) {
    TableRecord row = blankTable();
    row.col[0] = "X1";
    row.col[3] = "S";
    row.col[9] = ".jpg";
    row.extra[0] = "PRAZ";
    const auto number = insertTableRecord(praz(), row, prompt);
    writeWholeFile(productPhotoFile(work.folders, number, ".jpg"), "garbage");
    form.open();
    form.setValue("LE0", "X1");
    form.leave("LE0");
    EXPECT_TRUE(form.productLoaded());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kPhotoInvalid});
    EXPECT_EQ(form.photo(), kBmp); // DEFAULT.bmp stays shown
    EXPECT_EQ(form.photoExtension(), ".bmp");
}

TEST_F(ProductsWindow, ReturnModeClosesWithTheNewCode) {
    ctx.continuousEntry = false;
    form.open();
    fillBulk("AMBRATA");
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_TRUE(form.closeRequested());
    EXPECT_EQ(ctx.enteredCode, "AMBRATA");
}

TEST_F(ProductsWindow, PhotoThatCannotBeWrittenLeavesTheRowSaved) {
    fs::create_directory(work.folders.general("1.bmp")); // the photo's name is taken by a folder
    form.open();
    fillBulk();
    ASSERT_EQ(form.confirm(), std::nullopt);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{kPhotoInvalid});
    EXPECT_EQ(readTable(praz()).size(), 1u);
}

TEST_F(ProductsWindow, ListButtons) {
    form.open();
    services.lookupAnswer = findCode(work.folders, "TA20", "B000-22030001-00-0000", prompt)->number;
    ctx.mode = 'G'; // left by an earlier command: the product codes are listed unfiltered
    EXPECT_EQ(form.chooseTa20(), "ME2");
    EXPECT_EQ(ctx.mode, 'T');
    EXPECT_EQ(form.value("ME2"), "B000-22030001-00-0000");
    EXPECT_EQ(form.value("DME2"), "Birra di malto in bottiglie fino a 10 litri");
    services.newCodeAnswer = "FU";
    EXPECT_EQ(form.addPackaging(), "LE5");
    EXPECT_EQ(form.value("DLE5"), "Fusto");
    EXPECT_EQ(services.lookupTables, std::vector<std::string>{"TA20"});
    EXPECT_EQ(services.editorTables, std::vector<std::string>{"T010"});
}

} // namespace
} // namespace accise
