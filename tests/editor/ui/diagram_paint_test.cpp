// The diagram drawn into images, offscreen: the pictures, the highlights,
// what a paint changes in the model, live values, and the printed pages.
#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QRegion>
#include <QTemporaryDir>

#include <cstring>
#include <memory>

#include "../../support/model_builders.h"
#include "../../support/pdf_text.h"
#include "../../support/scripted_frame_dialogs.h"
#include "../../support/view_input.h"
#include "editor/print_layout.h"
#include "editor/ui/CVelmorinView.h"
#include "editor/ui/DiagramPainter.h"
#include "editor/ui/DiagramPrinter.h"
#include "editor/ui/KindPictures.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using testing::FindWord;
using testing::PdfPage;
using testing::PdfWord;
using testing::PdfWords;
using testing::PutElement;
using testing::PutRung;

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

int InkInside(const QImage& image, const QRect& rect) {
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) ink += image.pixel(x, y) != White ? 1 : 0;
    }
    return ink;
}

TEST(KindPictures, EveryPictureStaysInsideItsCellAndMeetsItsNeighbours) {
    const QRect cell(64, 64, 64, 64);
    for (int kind = 0; kind < PictureKindCount; ++kind) {
        for (const PictureVariant variant : {PictureVariant::Black, PictureVariant::Red, PictureVariant::Green}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " variant " << static_cast<int>(variant));
            const QColor ink = PictureInk(variant);
            QImage canvas(192, 192, QImage::Format_RGB32);
            canvas.fill(Qt::white);
            {
                QPainter painter(&canvas);
                painter.translate(cell.topLeft());
                DrawKindPicture(painter, kind, ink);
            }
            EXPECT_EQ(InkInside(canvas, canvas.rect()), InkInside(canvas, cell));
            if (kind != KindBlank) {
                EXPECT_GT(InkInside(canvas, cell), 30);
            }
            // The same drawing in one colour: nothing but the ink and white.
            if (kind != KindRedSquare && kind != KindGreenSquare) {
                int foreign = 0;
                for (int y = 0; y < 192; ++y) {
                    for (int x = 0; x < 192; ++x) {
                        const QRgb p = canvas.pixel(x, y);
                        foreign += p != White && p != ink.rgb() ? 1 : 0;
                    }
                }
                EXPECT_EQ(foreign, 0);
            }
            // Wires reach the middle of each side they connect, and only those.
            const int mask = KindMask(kind);
            const auto inked = [&](int x, int y) { return canvas.pixel(cell.left() + x, cell.top() + y) != White; };
            if ((mask & AttrWire) != 0 && (mask & (AttrUp | AttrDown | AttrLeft | AttrRight)) != 0) {
                EXPECT_EQ(inked(0, 31), (mask & AttrLeft) != 0);
                EXPECT_EQ(inked(63, 31), (mask & AttrRight) != 0);
                EXPECT_EQ(inked(31, 0), (mask & AttrUp) != 0);
                EXPECT_EQ(inked(31, 63), (mask & AttrDown) != 0);
            }
            // Elements take their input on the left; boxes with an output give it on the right.
            if ((mask & AttrElement) != 0) {
                EXPECT_TRUE(inked(0, 31));
                const bool output = kind != KindBoxOneSided && kind != KindBoxLowerHalf && kind != KindConditional;
                EXPECT_EQ(inked(63, 31), output);
            }
        }
    }
}

// A view of its own model, painted as the screen paints it.
class ViewPaintTest : public ::testing::Test {
protected:
    ViewPaintTest() : model(std::make_unique<ProgramModel>()) {
        ResetModel(*model);
        view = std::make_unique<CVelmorinView>(*model);
        // No editing session yet: no hover cell or selection is drawn.
        view->resize(700, 500);
    }

    QImage Shot() { return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QRect Square(int row, int column) { return {column * 64, row * 64, 64, 64}; }
    static QImage Cut(const QImage& image, int row, int column) { return image.copy(Square(row, column)); }
    static QImage Inverted(QImage image) {
        image.invertPixels();
        return image;
    }

    std::unique_ptr<ProgramModel> model;
    std::unique_ptr<CVelmorinView> view;
};

TEST_F(ViewPaintTest, HoverAndMarkedCellAreInverted) {
    PutRung(*model, 1);
    const QImage plain = Shot();
    EXPECT_EQ(InkInside(Cut(plain, 3, 4), QRect(0, 0, 64, 64)), 0);
    EXPECT_GT(InkInside(Cut(plain, 1, 4), QRect(0, 0, 64, 64)), 60);

    view->InitialUpdate();
    testing::MouseMove(*view, testing::ViewPoint(*view, 3, 4));  // empty: a black square
    EXPECT_EQ(Cut(Shot(), 3, 4), Inverted(Cut(plain, 3, 4)));
    testing::MouseMove(*view, testing::ViewPoint(*view, 1, 4));  // a wire: white on black
    const QImage hovered = Shot();
    EXPECT_EQ(Cut(hovered, 1, 4), Inverted(Cut(plain, 1, 4)));
    EXPECT_EQ(Cut(hovered, 3, 4), Cut(plain, 3, 4));

    view->MarkCell({6, 2});  // the hover gives way to the marked cell
    const QImage marked = Shot();
    EXPECT_EQ(Cut(marked, 2, 6), Inverted(Cut(plain, 2, 6)));
    EXPECT_EQ(Cut(marked, 1, 4), Cut(plain, 1, 4));
}

// What the error list and a search window move the diagram with.
TEST_F(ViewPaintTest, TheSurfaceBringsACellIntoViewAndARowToTheTop) {
    view->InitialUpdate();
    const CellPos far{8, 90};
    EXPECT_FALSE(view->VisibleScreenRect().contains(view->CellScreenRect(far)));
    view->ShowCell(far);
    EXPECT_TRUE(view->VisibleScreenRect().contains(view->CellScreenRect(far)));
    view->ScrollToRow(10);
    EXPECT_EQ(view->CellScreenRect({1, 10}).top(), view->VisibleScreenRect().top());
    view->ScrollToRow(-3);  // nothing lies above the first row
    EXPECT_EQ(view->CellScreenRect({1, 0}).top(), view->VisibleScreenRect().top());
}

TEST_F(ViewPaintTest, APendingErasureIsBlankOnceAndEmptyAfterwards) {
    PutRung(*model, 5);
    view->InitialUpdate();
    const QImage before = Shot();
    view->toolState().SelectTool(KindBlank);
    // Pressed without moving there: the cursor stays away from the coil.
    testing::MousePress(*view, testing::ViewPoint(*view, 5, 8));
    testing::MouseRelease(*view, testing::ViewPoint(*view, 5, 8));
    // The edit empties the cell at once; the view keeps it to draw blank.
    const LadderCell& coil = model->grid.at(5, 8);
    EXPECT_EQ(coil.shape, ShapeEmpty);
    for (const ParamSlot& slot : coil.params) EXPECT_EQ(slot[0], Unchosen);
    EXPECT_EQ(view->overlay().pendingErase, (std::vector<CellPos>{{8, 5}}));
    const QImage blank = Shot();
    EXPECT_EQ(InkInside(Cut(blank, 5, 8), QRect(0, 0, 64, 64)), 0);
    EXPECT_TRUE(view->overlay().pendingErase.empty());
    EXPECT_EQ(Cut(Shot(), 5, 8), Cut(blank, 5, 8));
    EXPECT_EQ(Cut(blank, 5, 7), Cut(before, 5, 7));
}

TEST_F(ViewPaintTest, TheSelectionShowsWhileTheBlockQuestionIsAskedAndGoesAfter) {
    PutRung(*model, 1);
    const QImage plain = Shot();
    testing::ScriptedFrameDialogs dialogs;
    QImage asked;
    dialogs.blockRunner = [&] {
        asked = Shot();
        return BlockChoice::Cancel;
    };
    view->SetServices({[&]() -> FrameDialogs& { return dialogs; }, {}});
    view->InitialUpdate();
    // Shift-drag from (row 1, column 2) to (row 2, column 3).
    testing::MouseMove(*view, testing::ViewPoint(*view, 1, 2), Qt::ShiftModifier);
    testing::MousePress(*view, testing::ViewPoint(*view, 1, 2), Qt::LeftButton, Qt::ShiftModifier);
    testing::MouseMove(*view, testing::ViewPoint(*view, 2, 3), Qt::ShiftModifier, Qt::LeftButton);
    const QImage selected = Shot();
    const std::pair<int, int> cells[] = {{1, 2}, {1, 3}, {2, 2}, {2, 3}};
    for (const auto& [row, column] : cells) EXPECT_EQ(Cut(selected, row, column), Inverted(Cut(plain, row, column)));
    EXPECT_EQ(view->blockSelection().state, 1);

    // The release asks "Bloque" about what is still drawn selected; once
    // answered, the next paint shows the cells plain, all but the hover cell.
    testing::MouseRelease(*view, testing::ViewPoint(*view, 2, 3), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(dialogs.opened, std::vector<std::string>{"block"});
    for (const auto& [row, column] : cells) EXPECT_EQ(Cut(asked, row, column), Cut(selected, row, column));
    EXPECT_EQ(view->blockSelection().state, -1);
    QImage expected = plain;
    {
        QPainter painter(&expected);
        painter.drawImage(Square(2, 3).topLeft(), Inverted(Cut(plain, 2, 3)));
    }
    EXPECT_EQ(Shot(), expected);
    EXPECT_EQ(view->blockSelection().state, 0);
}

TEST_F(ViewPaintTest, ALongOperandTextTakesTheNarrowFont) {
    DiagramPainter painter(view->cellMetrics());
    const TextMeasure& measure = painter.measure();
    // Font 2 is the narrow one: the same text is narrower in it.
    EXPECT_LT(measure("WWWWWWWW", 2), measure("WWWWWWWW", 1));
    ASSERT_GT(measure("WWWWWWWW", 1), NarrowTextLimit);
    ASSERT_LE(measure("v01", 1), NarrowTextLimit);

    PutElement(*model, 1, 2, ElementOut, testing::S1);
    PutElement(*model, 1, 4, ElementOut, testing::S1 + 1);
    SetFieldText(model->aliases[testing::S1].alias, "WWWWWWWW");
    PaintPlan plan;
    PaintInputs inputs;
    inputs.rows = {1, 1};
    PlanPaint(*model, inputs, view->cellMetrics(), measure, plan);
    std::vector<int32_t> fonts;
    for (const PlannedText& t : plan.texts) fonts.push_back(t.font);
    EXPECT_EQ(fonts, (std::vector<int32_t>{0, 2, 1}));  // label, the long alias, s2
}

// Long names in the conditional box, on the screen and on paper: the same
// rule keeps them inside its outline (nothing left of its left side but
// the input wire, nothing right of its right side).
TEST_F(ViewPaintTest, LongNamesStayInsideTheConditionalBoxOnScreenAndOnPaper) {
    const struct { int row, column, element; } boxes[] = {{1, 2, ElementIf1}, {2, 4, ElementJp1}, {3, 6, ElementIfv1}};
    SetFieldText(model->labels[1].alias, "WWWWWWWW");
    SetFieldText(model->aliases[14].alias, "MMMMMMMM");
    for (const auto& box : boxes) {
        PutElement(*model, box.row, box.column, box.element, box.element == ElementIfv1 ? 14 : 1);
        if (box.element == ElementIfv1) model->grid.at(box.row, box.column).params[1] = {1, 0};
    }
    const auto outside = [](const QImage& cell) {
        int ink = InkInside(cell, QRect(57, 0, 7, 64));
        ink += InkInside(cell, QRect(0, 0, 4, 30)) + InkInside(cell, QRect(0, 34, 4, 30));
        return ink;
    };

    const QImage screen = Shot();
    // On paper at the resolution that makes a cell 64 dots: page 1 starts
    // with row 1 two cells down and one cell right.
    const CellMetrics& metrics = view->cellMetrics();
    DiagramPainter painter(metrics);
    PaintPlan plan;
    PlanPaint(*model, PrintPageInputs(1), metrics, painter.measure(), plan);
    QImage page(12 * 64, 16 * 64, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        painter.PaintPage(p, plan, 1, PrintLayout{}, 64 * 254.0 / metrics.w, 64 * 254.0 / metrics.h);
    }
    for (const auto& box : boxes) {
        SCOPED_TRACE(::testing::Message() << "row " << box.row);
        const QImage onScreen = Cut(screen, box.row, box.column);
        const QImage onPaper = page.copy((box.column + 1) * 64, (box.row + 1) * 64, 64, 64);
        EXPECT_GT(InkInside(onScreen, QRect(8, 8, 44, 36)), 40);  // the texts are there
        EXPECT_GT(InkInside(onPaper, QRect(8, 8, 44, 36)), 40);
        EXPECT_EQ(outside(onScreen), 0);
        EXPECT_EQ(outside(onPaper), 0);
    }
}

// Records the areas the viewport repaints.
class RepaintRecorder : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(ViewPaintTest, LiveValuesAndColoursRepaintOnlyWhatChanged) {
    PutRung(*model, 1);                       // ld e1 ... out s1
    PutElement(*model, 2, 8, ElementTp, 86);  // Tp1: count state at 112
    SetSlotText(model->grid.at(2, 8).params[1], "2.5");
    const auto program = std::make_unique<LadderGrid>(model->grid);
    const QImage editing = Shot();
    view->show();
    view->SetLiveMode(true);
    LiveImageSnapshot image{};
    image[112] = 250;
    EXPECT_TRUE(view->RefreshLive(image));
    const QImage live = Shot();
    EXPECT_EQ(view->monitoredOperands(), (MonitoredOperandList{0, 8, 86, 112, -1}));

    // Red where the operand is off; the preset gives way to " 25.0".
    const QImage contact = Cut(live, 1, 1);
    EXPECT_EQ(contact.pixel(0, 31), qRgb(255, 0, 0));
    EXPECT_EQ(view->overlay().elementRects[ViewOverlay::Index(2, 8)], (Rect{512, 128, 576, 192}));
    const Rect value = view->overlay().operandRects[ViewOverlay::Index(2, 8)][1];
    ASSERT_GT(value.right, value.left);
    const QRect valueBox(value.left, value.top, value.right - value.left, value.bottom - value.top);
    EXPECT_TRUE(Square(2, 8).contains(valueBox.center()));
    EXPECT_NE(live.copy(valueBox), editing.copy(valueBox));

    // One input goes on: that contact and the timer's value are repainted, nothing else.
    RepaintRecorder recorder;
    view->viewport()->installEventFilter(&recorder);
    QApplication::processEvents();
    recorder.painted = QRegion();
    image[0] = 1;
    EXPECT_TRUE(view->RefreshLive(image));
    QElapsedTimer waited;
    waited.start();
    while (recorder.painted.isEmpty() && waited.elapsed() < 2000) QApplication::processEvents();
    EXPECT_EQ(recorder.painted, QRegion(Square(1, 1)) + QRegion(valueBox));
    EXPECT_EQ(Cut(Shot(), 1, 1).pixel(0, 31), qRgb(0, 255, 0));

    view->viewport()->removeEventFilter(&recorder);
    // Colours, values and rectangles are the view's: the program is as it was drawn.
    EXPECT_EQ(std::memcmp(program.get(), &model->grid, sizeof(LadderGrid)), 0);
}

int PdfPages(const QString& path) {
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = pdf.readAll();
    return static_cast<int>(bytes.count("/Type /Page\n"));
}

TEST(DiagramPrint, ThePdfHasAPageForEveryTwelveRowsInUse) {
    QTemporaryDir folder;
    struct Case {
        int lastRow;  // -1: empty
        int pages;
    } cases[] = {{-1, 1}, {12, 1}, {13, 2}};
    for (const Case& c : cases) {
        auto model = std::make_unique<ProgramModel>();
        ResetModel(*model);
        if (c.lastRow >= 0) PutElement(*model, c.lastRow, 3, ElementLd, testing::E1);
        const QString path = folder.filePath(QStringLiteral("rows%1.pdf").arg(c.lastRow));
        ASSERT_TRUE(ExportDiagramPdf(*model, path.toStdString(), ScreenCellMetrics()).ok);
        EXPECT_EQ(PdfPages(path), c.pages) << c.lastRow;
    }

    // From the command line's entry: a source file in, the same pages out; a
    // bad file leaves nothing behind.
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    PutRung(*model, 13);
    const std::string source = folder.filePath("rung.ldr").toStdString();
    ASSERT_TRUE(WriteSourceFile(*model, source).ok);
    const QString out = folder.filePath("rung.pdf");
    EXPECT_TRUE(ExportSourceFilePdf(source, out.toStdString()).ok);
    EXPECT_EQ(PdfPages(out), 2);
    const Result missing = ExportSourceFilePdf(folder.filePath("none.ldr").toStdString(), out.toStdString() + "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message, "Error al abrir el archivo");
    EXPECT_NE(missing.detail.find("none.ldr: No existe el fichero o el directorio"), std::string::npos);
    EXPECT_FALSE(QFile::exists(out + "x"));
    EXPECT_FALSE(ExportDiagramPdf(*model, folder.filePath("no/such/folder.pdf").toStdString(), ScreenCellMetrics()).ok);
}

// Each page's first line is its head (file, date) and its last its foot
// (the blocks shown, the page's number out of all); every other text lies
// between them, so no row of the diagram reaches into either or off the paper.
void ExpectHeadAndFoot(const std::vector<PdfPage>& pages, int blocksPerPage) {
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(::testing::Message() << "page " << p + 1);
        const std::vector<PdfWord> lines = pages[p].Lines();
        ASSERT_GE(lines.size(), 3u);
        QStringList blocks;
        for (int b = static_cast<int>(p) * blocksPerPage; b < std::min<int>(BlockCount, (p + 1) * blocksPerPage); ++b)
            blocks << QStringLiteral("ETQ%1").arg(b + 1, 2, 10, QChar('0'));
        EXPECT_EQ(lines.front().text, QStringLiteral("motor.ldr 07/03/2025"));
        EXPECT_EQ(lines.back().text,
                  QStringLiteral("Bloques: %1 Página %2 de %3").arg(blocks.join(", ")).arg(p + 1).arg(pages.size()));
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            EXPECT_GT(lines[i].box.top(), lines.front().box.bottom()) << lines[i].text.toStdString();
            EXPECT_LT(lines[i].box.bottom(), lines.back().box.top()) << lines[i].text.toStdString();
        }
        EXPECT_TRUE(QRectF(QPointF(0, 0), pages[p].size).contains(lines.back().box));
    }
}

TEST(DiagramPrint, LandscapePagesHoldWholeBlocksAndEveryRoadPlacesThePageAlike) {
    QTemporaryDir folder;
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    // Every block: its label over the first row, a contact named after it on the last.
    for (int block = 0; block < BlockCount; ++block) {
        PutElement(*model, BlockFirstRow(block) + BlockRows - 1, 2, ElementLd, block);
        SetFieldText(model->aliases[static_cast<size_t>(block)].alias,
                     QStringLiteral("fin%1").arg(block + 1, 2, 10, QChar('0')).toStdString());
    }
    CVelmorinView view(*model);
    const PrintHeading heading{"motor.ldr", "07/03/2025"};
    const auto print = [&](const QString& name, QPageLayout::Orientation orientation) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(name));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        view.PrintDocument(printer, heading);
        return PdfWords(folder.filePath(name));
    };

    // "Apaisado": two blocks to a sheet, each whole on one sheet and on the paper.
    const std::vector<PdfPage> landscape = print(QStringLiteral("landscape.pdf"), QPageLayout::Landscape);
    ASSERT_EQ(landscape.size(), 12u);
    for (int block = 0; block < BlockCount; ++block) {
        SCOPED_TRACE(block);
        const auto label = FindWord(landscape, QStringLiteral("etq%1").arg(block + 1, 2, 10, QChar('0')));
        const auto last = FindWord(landscape, QStringLiteral("fin%1").arg(block + 1, 2, 10, QChar('0')));
        EXPECT_EQ(label.first, block / 2);
        EXPECT_EQ(last.first, block / 2);
    }
    for (const PdfPage& page : landscape) {
        EXPECT_GT(page.size.width(), page.size.height());
        for (const PdfWord& word : page.words)
            EXPECT_TRUE(QRectF(QPointF(0, 0), page.size).contains(word.box)) << word.text.toStdString();
    }
    ExpectHeadAndFoot(landscape, 2);

    // Portrait keeps three blocks to a sheet; the print dialog's file and
    // "Exportar PDF..." put them in the same place.
    const std::vector<PdfPage> portrait = print(QStringLiteral("portrait.pdf"), QPageLayout::Portrait);
    ASSERT_TRUE(ExportDiagramPdf(*model, folder.filePath("export.pdf").toStdString(), view.cellMetrics(), heading).ok);
    const std::vector<PdfPage> exported = PdfWords(folder.filePath("export.pdf"));
    ASSERT_EQ(portrait.size(), 8u);
    ASSERT_EQ(exported.size(), 8u);
    ExpectHeadAndFoot(portrait, 3);
    ExpectHeadAndFoot(exported, 3);
    for (const char* word : {"etq01", "fin03", "etq24"}) {
        const auto printed = FindWord(portrait, QString::fromLatin1(word));
        const auto written = FindWord(exported, QString::fromLatin1(word));
        EXPECT_EQ(printed.first, written.first) << word;
        EXPECT_NEAR(printed.second.left(), written.second.left(), 0.5) << word;
        EXPECT_NEAR(printed.second.top(), written.second.top(), 0.5) << word;
    }
    // In the rail's cell: 10 mm from the paper's left edge and one cell further.
    const auto points = [](double millimetres) { return millimetres / 25.4 * 72; };
    const double labelLeft = FindWord(portrait, QStringLiteral("etq01")).second.left();
    EXPECT_GT(labelLeft, points(10 + 16.9));
    EXPECT_LT(labelLeft, points(10 + 2 * 16.9));
}

TEST(DiagramPrint, APageIsBlackShiftedOneCellRightAndThreeDownAtTheMetricSize) {
    auto model = std::make_unique<ProgramModel>();
    ResetModel(*model);
    PutElement(*model, 13, 1, ElementLd, testing::E1);
    // What the screen shows over the program does not reach the paper.
    const auto overlay = std::make_unique<ViewOverlay>();
    overlay->colourAt(13, 1) = ColourRed;
    overlay->hover = {1, 13};
    PaintInputs inputs = PrintPageInputs(2);
    inputs.overlay = overlay.get();
    inputs.live = true;
    const CellMetrics metrics{169, 169};
    DiagramPainter painter(metrics);
    PaintPlan plan;
    PlanPaint(*model, inputs, metrics, painter.measure(), plan);

    // 127 dots an inch: one logical unit is half a dot, a cell 84.5 dots.
    QImage page(1100, 1500, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        painter.PaintPage(p, plan, 2, PrintLayout{}, 127, 127);
    }
    const double cell = 84.5;
    EXPECT_EQ(InkInside(page, QRect(0, 0, 1100, static_cast<int>(2 * cell) - 1)), 0);  // two empty rows on top
    EXPECT_EQ(InkInside(page, QRect(0, 0, static_cast<int>(cell) - 1, 1500)), 0);      // one empty column
    // The contact's left wire at mid-height of the page's first row, in black.
    const QRgb wire = page.pixel(static_cast<int>(2 * cell) + 3, static_cast<int>(2.5 * cell));
    EXPECT_EQ(wire, Black);
    // The page ends after its twelfth row.
    EXPECT_EQ(InkInside(page, QRect(0, static_cast<int>(14 * cell) + 2, 1100, 100)), 0);
    EXPECT_GT(InkInside(page, QRect(0, static_cast<int>(13 * cell), 1100, static_cast<int>(cell))), 0);
}

}  // namespace
}  // namespace velmorin
