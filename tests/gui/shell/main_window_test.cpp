// The real main window, offscreen, against the in-process simulated encoder.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include "config/load_save_panel.h"
#include "connection/identification_panel.h"
#include "connection/position_panel.h"
#include "factory/factory_panel.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "shell/about_box.h"
#include "shell/traffic_window.h"
#include "support/window_fixture.h"
#include "text/catalogue.h"
#include "widgets/apply_language.h"
#include "widgets/pictures.h"

namespace orvo {
namespace {

using model::Family;
using shell::TForm1;
using testing::WindowFixture;

template <typename T = QWidget>
T* child(QWidget& root, const char* name) {
    return root.findChild<T*>(QString::fromLatin1(name));
}

TEST(MainWindow, StartsAt800x565WithTheIdentificationPageAtThePageOrigin) {
    WindowFixture f;
    TForm1& w = f.open();
    EXPECT_EQ(w.size(), QSize(800, 565));
    EXPECT_EQ(w.Panel1->geometry(), QRect(120, 0, 672, 470));
    EXPECT_FALSE(w.Panel1->isHidden());
    EXPECT_TRUE(w.SpeedButton2->isSelectedPage());
    EXPECT_EQ(w.Panel1->ComboBox2->currentText(), "9600");
    EXPECT_EQ(w.Panel6->geometry(), QRect(120, 0, 672, 470));
    EXPECT_EQ(w.Panel7->geometry(), QRect(120, 0, 672, 470));

    // The family panels overlap the position strip by one pixel and end at the page bottom.
    const QRect strip = w.Panel2->geometry();
    EXPECT_EQ(strip.topLeft(), QPoint(120, 0));
    for (QWidget* family : std::initializer_list<QWidget*>{w.Panel3, w.Panel4, w.Panel5}) {
        EXPECT_EQ(family->y(), strip.y() + strip.height() - 1);
        EXPECT_EQ(family->y() + family->height(), 470);
        EXPECT_EQ(family->x(), 120);
        EXPECT_EQ(family->width(), 672);
    }
}

TEST(MainWindow, PageButtonsStackWithAThreePixelOverlap) {
    WindowFixture f;
    TForm1& w = f.open();
    EXPECT_EQ(w.SpeedButton2->y(), 0);
    EXPECT_EQ(w.SpeedButton4->y(), 77);
    EXPECT_EQ(w.SpeedButton7->y(), 154);
    EXPECT_TRUE(w.SpeedButton8->isHidden());

    w.SpeedButton8->show();
    w.StackPageButtons();
    EXPECT_EQ(w.SpeedButton8->y(), 231);

    w.SpeedButton4->hide();
    w.StackPageButtons();
    EXPECT_EQ(w.SpeedButton7->y(), 77);
    EXPECT_EQ(w.SpeedButton8->y(), 154);
}

TEST(MainWindow, DisabledPagesAndTheirMenuItemsDoNothing) {
    WindowFixture f;
    TForm1& w = f.open();
    ASSERT_FALSE(w.SpeedButton4->isEnabled());
    ASSERT_FALSE(w.SpeedButton7->isEnabled());
    w.SpeedButton4->click();
    w.SpeedButton7->click();
    w.SSIconfiguration1->trigger();
    w.LoadorSaveconfig1->trigger();
    EXPECT_FALSE(w.Panel1->isHidden());
    EXPECT_TRUE(w.Panel2->isHidden());
    EXPECT_TRUE(w.Panel6->isHidden());
    EXPECT_TRUE(w.SpeedButton2->isSelectedPage());
    // Without a search the factory-defaults menu item does nothing either.
    w.caricaprmdef1->trigger();
    EXPECT_EQ(w.Panel1->BitBtn6->glyph(), widgets::Glyph::None);

    // Enabled, the same menu item shows the page.
    w.SpeedButton7->setEnabled(true);
    w.LoadorSaveconfig1->trigger();
    EXPECT_FALSE(w.Panel6->isHidden());
    EXPECT_TRUE(w.Panel1->isHidden());
    EXPECT_TRUE(w.SpeedButton7->isSelectedPage());
    EXPECT_FALSE(w.SpeedButton2->isSelectedPage());
    EXPECT_EQ(w.Panel6->Label54->text(), "9600");
}

TEST(MainWindow, ConfigurationPageShowsTheFamilyPanelAndPollsUntilThePageChanges) {
    WindowFixture f;
    f.copyAnimationClip();
    TForm1& w = f.open();
    EXPECT_TRUE(w.Panel2->Animate1->hasClip());
    struct Case {
        Family family;
        QWidget* shown;
    };
    const Case cases[] = {{Family::Ssi, w.Panel3},
                          {Family::Analog, w.Panel4},
                          {Family::Parallel, w.Panel5},
                          {Family::None, nullptr}};
    w.SpeedButton4->setEnabled(true);
    for (const Case& c : cases) {
        w.setFamily(c.family);
        w.SpeedButton4->click();
        EXPECT_FALSE(w.Panel2->isHidden());
        for (QWidget* panel : std::initializer_list<QWidget*>{w.Panel3, w.Panel4, w.Panel5}) {
            EXPECT_EQ(!panel->isHidden(), panel == c.shown) << panel->objectName().toStdString();
        }
        EXPECT_TRUE(w.Panel2->Timer1->isActive());
        EXPECT_TRUE(w.Panel2->Animate1->isPlaying());
        w.SpeedButton2->click();
        EXPECT_FALSE(w.Panel2->Timer1->isActive());
        EXPECT_FALSE(w.Panel2->Animate1->isPlaying());
        EXPECT_TRUE(w.Panel2->isHidden());
    }
}

TEST(MainWindow, AMissingAnimationClipLeavesTheWindowWorking) {
    WindowFixture f;
    TForm1& w = f.open();
    EXPECT_FALSE(w.Panel2->Animate1->hasClip());
    w.SpeedButton4->setEnabled(true);
    w.SpeedButton4->click();
    EXPECT_TRUE(w.Panel2->Timer1->isActive());
}

// Every control the language tables name is a control of the window that can show its text, in
// both languages.
TEST(MainWindow, EveryBoundTextHasAControlThatShowsIt) {
    WindowFixture f;
    TForm1& w = f.open();
    for (const text::Language language : {text::Language::Italian, text::Language::English}) {
        const text::Catalogue catalogue(language);
        const widgets::LanguageApplyReport report = widgets::applyLanguage(&w, catalogue);
        EXPECT_TRUE(report.missingObjects.isEmpty())
            << report.missingObjects.join(", ").toStdString();
        EXPECT_TRUE(report.unsupportedObjects.isEmpty())
            << report.unsupportedObjects.join(", ").toStdString();
    }
}

// A group frame without its caption leaves the user guessing what its controls are for.
TEST(MainWindow, EveryGroupHasItsCaptionInBothLanguages) {
    WindowFixture f;
    TForm1& w = f.open();
    for (const int language : {1, 2}) {
        w.ApplyLanguage(language);
        for (const QGroupBox* group : w.findChildren<QGroupBox*>()) {
            // The summary's caption names the family found, none yet; its rows sit in a group
            // without a frame.
            if (group == w.Panel6->GroupBox7 || group->isFlat()) {
                continue;
            }
            EXPECT_FALSE(group->title().trimmed().isEmpty())
                << group->objectName().toStdString() << " in language " << language;
        }
    }
}

// The blue arrow shows while the mouse button is held on an action button; once released, the
// button shows the outcome of its click, or no picture when its action has none.
TEST(MainWindow, TheArrowOfAnActionButtonGoesWhenTheMouseButtonIsReleased) {
    WindowFixture f;
    TForm1& w = f.open();
    w.SpeedButton7->setEnabled(true);
    w.SpeedButton7->click();
    const auto press = [](QWidget* button, QEvent::Type type) {
        const QPointF inside(button->width() / 2.0, button->height() / 2.0);
        QMouseEvent event(type, inside, button->mapToGlobal(inside), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    };
    // The file dialogs are cancelled: neither load nor save has an outcome to show.
    for (widgets::BitBtn* button : {w.Panel6->BitBtn19, w.Panel6->BitBtn20}) {
        SCOPED_TRACE(button->objectName().toStdString());
        press(button, QEvent::MouseButtonPress);
        EXPECT_EQ(button->glyph(), widgets::Glyph::InProgress);
        press(button, QEvent::MouseButtonRelease);
        EXPECT_EQ(button->glyph(), widgets::Glyph::None);
    }
}

TEST(MainWindow, ProductLinkByLanguageAndFamily) {
    struct Case {
        int language;
        Family family;
        const char* link;
    };
    const Case cases[] = {
        {1, Family::Ssi, "https://www.orvo.example/ita/prodotti2.php?idprod=239&ID=2"},
        {1, Family::Parallel, "https://www.orvo.example/ita/prodotti2.php?idprod=239&ID=2"},
        {1, Family::Analog, "https://www.orvo.example/ita/prodotti2.php?idprod=242&ID=2"},
        {1, Family::None, "https://www.orvo.example/ita/index.php"},
        {2, Family::Ssi, "https://www.orvo.example/eng/prodotti2.php?idprod=239&ID=2"},
        {2, Family::Analog, "https://www.orvo.example/eng/prodotti2.php?idprod=242&ID=2"},
        {2, Family::None, "https://www.orvo.example/eng/index.php"},
        {0, Family::Analog, "https://www.orvo.example/eng/prodotti2.php?idprod=242&ID=2"},
        {3, Family::None, "https://www.orvo.example/eng/index.php"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shell::productLinkFor(c.language, c.family), c.link);
    }

    WindowFixture f;
    TForm1& w = f.open();
    EXPECT_EQ(w.productLink(), "https://www.orvo.example/eng/index.php");
    EXPECT_EQ(w.Label93->toolTip(), w.productLink());
    w.setFamily(Family::Analog);
    w.UpdateProductLink();
    EXPECT_TRUE(w.productLink().endsWith("/eng/prodotti2.php?idprod=242&ID=2"));
    w.Label93Click();
    ASSERT_EQ(f.openedUrls.size(), 1u);
    EXPECT_EQ(f.openedUrls[0], w.productLink());
    w.Italiano1Click();
    EXPECT_TRUE(w.productLink().endsWith("/ita/prodotti2.php?idprod=242&ID=2"));
}

TEST(MainWindow, ResizingMovesTheFooterTogetherAndNotThePages) {
    WindowFixture f;
    TForm1& w = f.open();
    w.show();
    QWidget* footer[] = {w.Image10, w.Label95, w.Label104, w.Label93, w.Image37, w.Image38};
    std::vector<QPoint> before;
    for (QWidget* part : footer) {
        before.push_back(part->pos());
    }
    // The footer's own rules: the link follows the e-mail line, the flags follow the link.
    EXPECT_EQ(w.Label93->x(), w.Label104->x() + w.Label104->width() + 3);
    EXPECT_EQ(w.Label93->y(), w.Label104->y());
    EXPECT_EQ(w.Label95->y() + w.Label95->height(), w.Label104->y());
    EXPECT_EQ(w.Image38->y(), w.Image37->y());
    const QRect page = w.Panel1->geometry();

    w.resize(w.width(), w.height() + 100);
    QCoreApplication::processEvents();
    for (std::size_t i = 0; i < std::size(footer); ++i) {
        EXPECT_EQ(footer[i]->pos(), before[i] + QPoint(0, 100))
            << footer[i]->objectName().toStdString();
    }
    EXPECT_EQ(w.Panel1->geometry(), page);
    EXPECT_EQ(w.SpeedButton2->y(), 0);
}

struct SettingsCase {
    const char* name;
    std::optional<std::string> content;  // nullopt: no file
    int language;
    std::string afterwards;
};

TEST(SettingsFile, LanguageAtStartUp) {
    const SettingsCase cases[] = {
        {"IT", std::string("IT"), 1, "IT"},
        {"EN", std::string("EN"), 2, "EN"},
        {"lower case", std::string("it"), 2, "it"},
        {"empty", std::string(""), 2, ""},
        {"longer word", std::string("  ITALIANO EN"), 1, "  ITALIANO EN"},
        {"other word", std::string("DE"), 2, "DE"},
        {"missing file is created", std::nullopt, 2, "EN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture f;
        if (c.content) {
            f.writeSettings(*c.content);
        }
        TForm1& w = f.open();
        EXPECT_EQ(w.languageCode(), c.language);
        EXPECT_TRUE(w.Panel1->Label53->isHidden());
        EXPECT_EQ(f.readSettings(), c.afterwards);
    }
}

TEST(SettingsFile, NeitherReadNorCreatedShowsTheRedLabelAndStartsInEnglish) {
    WindowFixture f(/*withDataFolder=*/false);
    TForm1& w = f.open();
    EXPECT_FALSE(w.Panel1->Label53->isHidden());
    EXPECT_EQ(w.Panel1->Label53->text(), "Error on Orvo_temp.dat");
    EXPECT_EQ(w.languageCode(), 0);
    EXPECT_EQ(w.SpeedButton2->text(), "Identification");
    EXPECT_FALSE(std::filesystem::exists(f.folder.path() / "File_data"));
}

TEST(SettingsFile, ChoosingALanguageRewritesTheFileFirst) {
    WindowFixture f;
    TForm1& w = f.open();
    w.Italiano1->trigger();
    EXPECT_EQ(f.readSettings(), "IT");
    EXPECT_EQ(w.languageCode(), 1);
    w.English1->trigger();
    EXPECT_EQ(f.readSettings(), "EN");
    // The flags do the same as the menu items.
    emit w.Image37->clicked();
    EXPECT_EQ(f.readSettings(), "IT");
    emit w.Image38->clicked();
    EXPECT_EQ(f.readSettings(), "EN");
}

TEST(TrafficWindow, LinesOnlyWhileVisibleClearAndTheNewestWindowWins) {
    WindowFixture f;
    f.addPort("ttySIM0", sim::Family::Ssi);
    TForm1& w = f.open();
    w.portList().listSerialPorts();
    ASSERT_EQ(w.serialLink().openActivePort("ttySIM0", 9600), link::status::kOk);

    // Hidden: no trace.
    shell::TForm2* hidden = w.trafficWindow();
    ASSERT_NE(hidden, nullptr);
    w.serialLink().exchange(0, link::cmd::kReadNode, 0, link::TrafficLog::Always);
    EXPECT_TRUE(hidden->Memo1->toPlainText().isEmpty());

    w.Viewmessage1->trigger();
    shell::TForm2* first = w.trafficWindow();
    ASSERT_NE(first, hidden);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "RS232");
    EXPECT_EQ(first->Button1->text(), "clear");
    EXPECT_EQ(first->width(), 330);
    EXPECT_EQ(first->lines(), (QStringList{" ", " "}));

    w.serialLink().exchange(0, link::cmd::kReadNode, 0, link::TrafficLog::Always);
    const QStringList lines = first->lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], "Tx: 7C  00  10  00 00 00 00  10  04");
    EXPECT_TRUE(lines[3].startsWith("Rx: 7C  01  10  00 00 00 01  "));

    first->Button1->click();
    EXPECT_EQ(first->lines(), (QStringList{" ", " "}));

    w.ShowTrafficWindow();
    shell::TForm2* second = w.trafficWindow();
    ASSERT_NE(second, first);
    w.serialLink().exchange(0, link::cmd::kReadNode, 0, link::TrafficLog::Always);
    EXPECT_EQ(first->lines(), (QStringList{" ", " "}));
    EXPECT_EQ(second->lines().size(), 4);
}

TEST(TrafficWindow, ReceiveFailuresArriveThroughTheUiThreadInTheUiLanguage) {
    WindowFixture f;
    auto encoder = f.addPort("ttySIM0", sim::Family::Ssi);
    encoder->addFault({sim::Fault::errorBit(), sim::FaultScope::everyFrame(), std::nullopt});
    f.writeSettings("IT");
    TForm1& w = f.open();
    w.portList().listSerialPorts();
    ASSERT_EQ(w.serialLink().openActivePort("ttySIM0", 9600), link::status::kOk);
    w.ShowTrafficWindow();
    shell::TForm2* window = w.trafficWindow();

    EXPECT_FALSE(w.serialLink().exchange(0, link::cmd::kReadNode, 0, link::TrafficLog::Never).ok());
    // The line comes through the UI thread's event queue: wait for it, not for a time.
    const std::uint64_t deadline = platform::monotonicMs() + 5000;
    while (window->lines().size() < 3 && platform::monotonicMs() < deadline) {
        testing::processEventsFor(10);
    }
    EXPECT_EQ(window->lines(), (QStringList{" ", " ", "   command con bit errore"}));
}

TEST(AboutBox, ModalEachTimeAndGoneAfterClosing) {
    WindowFixture f;
    TForm1& w = f.open();
    for (int i = 0; i < 2; ++i) {
        QString caption;
        QString program;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<shell::TForm3*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            program = box->Label7->text();
            modal = box->isModal();
            EXPECT_EQ(box->size(), QSize(425, 165));
            box->close();
        });
        w.about1->trigger();
        EXPECT_TRUE(modal);
        EXPECT_EQ(caption, "About");
        EXPECT_EQ(program, "ORVO_Programmable_encoder.exe");
        EXPECT_TRUE(w.findChildren<shell::TForm3*>().isEmpty());
    }
    w.Italiano1Click();
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    w.about1->trigger();
    EXPECT_TRUE(w.findChildren<shell::TForm3*>().isEmpty());
}

TEST(MainWindow, ClosingClosesThePortBeforeTheReceiveThreadStops) {
    WindowFixture f;
    f.addPort("ttySIM0", sim::Family::Ssi);
    TForm1& w = f.open();
    w.portList().listSerialPorts();
    ASSERT_EQ(w.serialLink().openActivePort("ttySIM0", 9600), link::status::kOk);
    ASSERT_TRUE(f.ports.isOpen("/sim/ttySIM0"));
    // A request still unanswered: the receive thread is reading when the window goes.
    EXPECT_EQ(w.serialLink().sendFrame(0, link::cmd::kReadNode, 0).status, link::status::kOk);
    f.close();
    EXPECT_FALSE(f.ports.isOpen("/sim/ttySIM0"));
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

struct TextSample {
    const char* object;
    bool hint;  // the tool tip rather than the caption
    const char* italian;
    const char* english;
};

QString shownText(QObject* object, bool hint) {
    if (auto* widget = qobject_cast<QWidget*>(object); widget != nullptr && hint) {
        return widget->toolTip();
    }
    if (auto* group = qobject_cast<QGroupBox*>(object)) {
        return group->title();
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        return button->text();
    }
    if (auto* menu = qobject_cast<QMenu*>(object)) {
        return menu->title();
    }
    if (auto* action = qobject_cast<QAction*>(object)) {
        return action->text();
    }
    return QStringLiteral("<no text>");
}

TEST(Language, CaptionsItemsAndHintsOnEveryPageInBothLanguages) {
    const TextSample samples[] = {
        {"SpeedButton2", false, "Identificazione", "Identification"},
        {"SpeedButton7", false, "Carica/ salva \nconfigurazione", "Load/ save \nconfiguration"},
        {"file1", false, "File", "File"},
        {"Exit1", false, "Esci", "Exit"},
        {"Viewmessage1", false, "Visualizza messaggi RS-232", "View RS-232 messages"},
        {"GroupBox1", false, "   Porta COM   ", "   COM port   "},
        {"BitBtn1", false, "cerca dispositivo", "device search"},
        {"BitBtn1", true,
         "cerca l'encoder collegato e acceso \ntra le porte COM disponibili nel PC",
         "allows to check the COM ports available on your PC \nin order to detect the encoder "
         "connected and switched on"},
        {"Label12", false, "Tipo dispositivo:", "Device type:"},
        {"BitBtn6", false, "carica prm di fabbrica", "load default parameters"},
        {"GroupBox3", false, "   Posizione   ", "   Position   "},
        {"Label105", false, "Nessun errore", "No Error"},
        {"Label91", false, "Cavo scollegato", "Disconnected cable"},
        {"Edit2", true, "valore di posizione trasmesso dall'encoder",
         "position value transmitted by the device"},
        {"ComboBox3", true, "tempo minimo tra 2 pacchetti di clock SSI",
         "minimum time between 2 packets of SSI clocks"},
        {"Edit8", true,
         "impostare il numero di giri desiderato, \nnon superare il valore: massimo numero di giri",
         "sets the number of revolutions you need,\nwarning: never exceed the max number of "
         "revolutions"},
        {"ComboBox19", true,
         "logica positiva per utilizzare i segnali normalmente, \nlogica negata per lavorare con i "
         "segnali a tensioni invertite",
         "positive logic to have normal signals,\nnegated logic to have signals with reversed "
         "voltages"},
        {"ComboBox16", true, "abilita o disabilita l'uscita analogica del dispositivo",
         "enables or disables the analog output of the device"},
        {"GroupBox8", false, "   Numero di serie   ", "   Serial number   "},
        {"Label11", false, "ID Nodo:", "Node ID:"},
    };
    WindowFixture f;
    TForm1& w = f.open();
    for (int language : {1, 2, 1}) {
        w.ApplyLanguage(language);
        EXPECT_EQ(w.windowTitle(),
                  language == 1 ? "ORVO - Encoder programmabile" : "ORVO - programmable encoder");
        for (const TextSample& s : samples) {
            QObject* object = w.findChild<QObject*>(QString::fromLatin1(s.object));
            ASSERT_NE(object, nullptr) << s.object;
            EXPECT_EQ(shownText(object, s.hint),
                      QString::fromUtf8(language == 1 ? s.italian : s.english))
                << s.object << (s.hint ? " hint" : "");
        }
        // Lists are refilled in the language, without a selection.
        auto* code = child<QComboBox>(w, "ComboBox5");
        ASSERT_EQ(code->count(), 3);
        EXPECT_EQ(code->currentIndex(), -1);
        // The composed hints quote the current item texts.
        const QString protocolHint = child(w, "ComboBox4")->toolTip();
        auto* protocol = child<QComboBox>(w, "ComboBox4");
        ASSERT_EQ(protocol->count(), 3);
        EXPECT_TRUE(protocolHint.startsWith("\"" + protocol->itemText(0) + "\": "));
        EXPECT_TRUE(protocolHint.contains("\n\"" + protocol->itemText(1) + "\": "));
        const QString typeHint = child(w, "ComboBox17")->toolTip();
        auto* type = child<QComboBox>(w, "ComboBox17");
        EXPECT_EQ(typeHint,
                  (language == 1 ? QStringLiteral("impostare il tipo di uscita analogica")
                                 : QStringLiteral("sets the type of analog output")) +
                      "\n\"" + type->itemText(0) + "\": " +
                      (language == 1 ? "uscita analogica in tensione" : "analog voltage output") +
                      "\n\"" + type->itemText(1) + "\": " +
                      (language == 1 ? "uscita analogica in corrente" : "analog current output"));
    }
    // Languages other than 1 read as English.
    for (int language : {0, 3}) {
        w.ApplyLanguage(language);
        EXPECT_EQ(w.SpeedButton2->text(), "Identification");
    }
}

TEST(Language, StartsInTheStoredLanguageWithFirstItemsSelected) {
    WindowFixture f;
    f.writeSettings("IT");
    TForm1& w = f.open();
    EXPECT_EQ(w.SpeedButton2->text(), "Identificazione");
    auto* code = child<QComboBox>(w, "ComboBox5");
    EXPECT_EQ(code->currentIndex(), 0);
    // A change of language leaves the lists without a selection until the encoder is read.
    w.English1->trigger();
    EXPECT_EQ(code->currentIndex(), -1);
    EXPECT_EQ(w.SpeedButton2->text(), "Identification");
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

// The pictures are SVG compiled into the program; without the SVG icon engine they would all
// come out empty, silently.
TEST(Pictures, EveryPictureRenders) {
    for (widgets::Glyph glyph : {widgets::Glyph::InProgress, widgets::Glyph::Success,
                                 widgets::Glyph::Failure, widgets::Glyph::EnterNeutral,
                                 widgets::Glyph::EnterSuccess, widgets::Glyph::EnterFailure}) {
        EXPECT_FALSE(widgets::pictures::glyphIcon(glyph).pixmap(18, 18).isNull()) << int(glyph);
    }
    EXPECT_TRUE(widgets::pictures::glyphIcon(widgets::Glyph::None).isNull());
    EXPECT_FALSE(widgets::pictures::statusPixmap(widgets::RowStatus::Success).isNull());
    EXPECT_FALSE(widgets::pictures::statusPixmap(widgets::RowStatus::Failure).isNull());
    EXPECT_TRUE(widgets::pictures::statusPixmap(widgets::RowStatus::None).isNull());
    for (const QPixmap& picture : {widgets::pictures::warning(), widgets::pictures::flagItalian(),
                                   widgets::pictures::flagBritish(), widgets::pictures::logo()}) {
        EXPECT_FALSE(picture.isNull());
    }
    for (const QString& page :
         {widgets::pictures::kIdentification, widgets::pictures::kConfiguration,
          widgets::pictures::kLoadSave, widgets::pictures::kFactory}) {
        EXPECT_FALSE(QIcon(page).pixmap(32, 32).isNull()) << page.toStdString();
    }
}

}  // namespace
}  // namespace orvo
