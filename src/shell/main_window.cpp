#include "shell/main_window.h"

#include <QApplication>
#include <QFont>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QResizeEvent>
#include <QScreen>

#include "config/load_save_page.h"
#include "config/load_save_panel.h"
#include "connection/identification_panel.h"
#include "connection/position_monitor.h"
#include "connection/position_panel.h"
#include "factory/factory_page.h"
#include "factory/factory_panel.h"
#include "link/ui_dispatch.h"
#include "model/family_profile.h"
#include "params/analog_panel.h"
#include "params/parallel_panel.h"
#include "params/ssi_panel.h"
#include "shell/about_box.h"
#include "shell/qt_dialogs.h"
#include "shell/settings_file.h"
#include "shell/traffic_window.h"
#include "widgets/apply_language.h"
#include "widgets/grid.h"
#include "widgets/pictures.h"

namespace orvo::shell {

namespace {
constexpr int kItalian = 1;
constexpr int kEnglish = 2;
constexpr int kStackOverlap = 3;  // neighbouring page buttons overlap by 3 pixels
constexpr int kTrafficWindowWidth = 330;
constexpr int kFooterLeft = 10;
constexpr int kLinkGap = 3;
constexpr int kFlagGap = 20;
constexpr int kFooterBottomGap = 5;
constexpr const char* kAnimationClip = "File_data/reading.gif";

constexpr int kHintDelayMs = 250;
constexpr int kHintDurationMs = 30000;

// Hints appear a quarter of a second after the pointer comes to rest.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) {
            return kHintDelayMs;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

text::Language languageOf(int code) {
    return code == kItalian ? text::Language::Italian : text::Language::English;
}
}  // namespace

ClickableLabel::ClickableLabel(const QString& objectName, QWidget* parent) : QLabel(parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QLabel::mouseReleaseEvent(event);
}

QString productLinkFor(int languageCode, model::Family family) {
    const std::string_view product = model::profileOf(family).productId;
    if (product.empty()) {
        return QString::fromLatin1(languageCode == kItalian ? ProductSite::kItalianHome
                                                            : ProductSite::kInternationalHome);
    }
    const QString language =
        languageCode == kItalian ? QStringLiteral("ita") : QStringLiteral("eng");
    return QString::fromLatin1(ProductSite::kSite) +
           QStringLiteral("/%1/prodotti2.php?idprod=%2&ID=2")
               .arg(language,
                    QLatin1String(product.data(), static_cast<qsizetype>(product.size())));
}

TForm1::TForm1(PlatformBundle bundle, QWidget* parent)
    : QMainWindow(parent), bundle_(std::move(bundle)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (bundle_.portLister == nullptr) {
        ownLister_ = std::make_unique<platform::FixedPortLister>();
        bundle_.portLister = ownLister_.get();
    }
    // A window built without a dialogs service still shows its messages on the desktop.
    if (bundle_.dialogs == nullptr) {
        ownDialogs_ = std::make_unique<QtDialogs>();
        bundle_.dialogs = ownDialogs_.get();
    }
    portList_ = std::make_unique<link::PortList>(*bundle_.portLister);
    link_ = std::make_unique<link::Link>(bundle_.serialDevices, portList_->resolver());
    link_->setTrafficSink(this, link::dispatcherFor(this));

    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("client"));
    setCentralWidget(central_);

    SpeedButton1 = new widgets::SpeedButton(QStringLiteral("SpeedButton1"), QString(), central_);
    SpeedButton1->hide();
    SpeedButton2 = new widgets::SpeedButton(QStringLiteral("SpeedButton2"),
                                            widgets::pictures::kIdentification, central_);
    SpeedButton4 = new widgets::SpeedButton(QStringLiteral("SpeedButton4"),
                                            widgets::pictures::kConfiguration, central_);
    SpeedButton7 = new widgets::SpeedButton(QStringLiteral("SpeedButton7"),
                                            widgets::pictures::kLoadSave, central_);
    SpeedButton8 = new widgets::SpeedButton(QStringLiteral("SpeedButton8"),
                                            widgets::pictures::kFactory, central_);
    connect(SpeedButton2, &QToolButton::clicked, this, [this] { SpeedButton2Click(); });
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { SpeedButton4Click(); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { SpeedButton7Click(); });
    connect(SpeedButton8, &QToolButton::clicked, this, [this] { SpeedButton8Click(); });

    Panel1 = new connection::IdentificationPanel(central_);
    Panel2 = new connection::PositionPanel(central_);
    Panel3 = new params::SsiPanel(central_);
    Panel4 = new params::AnalogPanel(central_);
    Panel5 = new params::ParallelPanel(central_);
    Panel6 = new config::LoadSavePanel(central_);
    Panel7 = new factory::FactoryPanel(central_);

    buildMenus();
    buildFooter();
    connectPages();
    FormCreate();

    // The traffic window exists from the start, hidden, so lines have somewhere to go.
    trafficWindow_ = new TForm2(this);
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::buildMenus() {
    auto action = [](const char* name, QObject* parent) {
        auto* a = new QAction(parent);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    file1 = menuBar()->addMenu(QString());
    file1->setObjectName(QStringLiteral("file1"));
    Identification1 = action("Identification1", this);
    SSIconfiguration1 = action("SSIconfiguration1", this);
    LoadorSaveconfig1 = action("LoadorSaveconfig1", this);
    Exit1 = action("Exit1", this);
    file1->addAction(Identification1);
    file1->addAction(SSIconfiguration1);
    file1->addAction(LoadorSaveconfig1);
    file1->addSeparator();
    file1->addAction(Exit1);

    Setup1 = menuBar()->addMenu(QString());
    Setup1->setObjectName(QStringLiteral("Setup1"));
    Language1 = Setup1->addMenu(QString());
    Language1->setObjectName(QStringLiteral("Language1"));
    Italiano1 = action("Italiano1", this);
    Italiano1->setText(QStringLiteral("Italiano"));
    Italiano1->setIcon(QIcon(widgets::pictures::flagItalian()));
    English1 = action("English1", this);
    English1->setText(QStringLiteral("English"));
    English1->setIcon(QIcon(widgets::pictures::flagBritish()));
    Language1->addAction(Italiano1);
    Language1->addAction(English1);
    Setup1->addSeparator();
    Viewmessage1 = action("Viewmessage1", this);
    Viewmessage1->setVisible(false);  // shown only on the maker's own computers
    caricaprmdef1 = action("caricaprmdef1", this);
    Setup1->addAction(Viewmessage1);
    Setup1->addAction(caricaprmdef1);

    about1 = action("about1", this);
    menuBar()->addAction(about1);

    // A disabled or hidden page button ignores its menu item too.
    auto usable = [](QWidget* button) { return button->isEnabled() && !button->isHidden(); };
    connect(Identification1, &QAction::triggered, this, [this, usable] {
        if (usable(SpeedButton2))
            SpeedButton2Click();
    });
    connect(SSIconfiguration1, &QAction::triggered, this, [this, usable] {
        if (usable(SpeedButton4))
            SpeedButton4Click();
    });
    connect(LoadorSaveconfig1, &QAction::triggered, this, [this, usable] {
        if (usable(SpeedButton7))
            SpeedButton7Click();
    });
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(Italiano1, &QAction::triggered, this, [this] { Italiano1Click(); });
    connect(English1, &QAction::triggered, this, [this] { English1Click(); });
    connect(Viewmessage1, &QAction::triggered, this, [this] { ShowTrafficWindow(); });
    connect(caricaprmdef1, &QAction::triggered, this, [this] {
        // Nothing to restore while no encoder is found.
        if (state_.found) {
            connection_->BitBtn6Click();
        }
    });
    connect(about1, &QAction::triggered, this, [this] { about1Click(); });
}

void TForm1::buildFooter() {
    Image10 = widgets::makeLabel(QStringLiteral("Image10"), central_);
    Image10->setPixmap(widgets::pictures::logo());
    Image10->adjustSize();
    Label95 = widgets::makeLabel(QStringLiteral("Label95"), central_,
                                 QStringLiteral("tel. +39 02 0000 0000 - fax +39 02 0000 0001"));
    Label104 = widgets::makeLabel(QStringLiteral("Label104"), central_,
                                  QStringLiteral("e-mail: info@orvo.example  -"));
    for (QLabel* line : {Label95, Label104}) {
        QFont small = line->font();
        small.setPixelSize(11);
        line->setFont(small);
        line->adjustSize();
    }
    Label93 = new ClickableLabel(QStringLiteral("Label93"), central_);
    Label93->setText(QStringLiteral("www.orvo.example"));
    QFont linkFont = Label93->font();
    linkFont.setPixelSize(11);
    linkFont.setUnderline(true);
    Label93->setFont(linkFont);
    Label93->setStyleSheet(QStringLiteral("color: #0b4f8a;"));
    Label93->adjustSize();
    connect(Label93, &ClickableLabel::clicked, this, [this] { Label93Click(); });

    Image37 = new ClickableLabel(QStringLiteral("Image37"), central_);
    Image37->setPixmap(widgets::pictures::flagItalian());
    Image37->adjustSize();
    Image38 = new ClickableLabel(QStringLiteral("Image38"), central_);
    Image38->setPixmap(widgets::pictures::flagBritish());
    Image38->adjustSize();
    connect(Image37, &ClickableLabel::clicked, this, [this] { Italiano1Click(); });
    connect(Image38, &ClickableLabel::clicked, this, [this] { English1Click(); });
}

void TForm1::FormCreate() {
    if (dynamic_cast<HintTimingStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new HintTimingStyle(QApplication::style()->name()));
    }
    const SettingsRead settings = readSettings(bundle_.workingFolder);
    Panel1->Label53->setVisible(settings.failed);
    ApplyLanguage(settings.languageCode);
    LayoutMainWindow();
    ResetPageState();
    SpeedButton2Click();
    if (!receiveThreadStarted_) {
        link_->start();
        receiveThreadStarted_ = true;
    }
    // A missing or unreadable clip leaves the animation empty; the rest works as usual.
    Panel2->Animate1->setFileName(
        QString::fromStdString((bundle_.workingFolder / kAnimationClip).string()));
}

void TForm1::FormDestroy() {
    // The encoder state goes before the controls; the baud-rate box stops reporting to it.
    QObject::disconnect(Panel1->ComboBox2, &QComboBox::currentTextChanged, nullptr, nullptr);
    // The port goes first, so that a read in progress ends before the thread is stopped.
    link_->closeActivePort();
    if (receiveThreadStarted_) {
        link_->receiveThread().stop();
        receiveThreadStarted_ = false;
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    placeFooter();
}

void TForm1::placeFooter() {
    if (Label104 == nullptr) {
        return;
    }
    const int h = central_->height();
    Label104->move(kFooterLeft, h - Label104->height() - kFooterBottomGap);
    Label93->move(Label104->x() + Label104->width() + kLinkGap, Label104->y());
    Label95->move(kFooterLeft, Label104->y() - Label95->height());
    Image10->move(0, Label95->y() - Image10->height());
    Image37->move(Label93->x() + Label93->width() + kFlagGap, Label93->y() - 3);
    Image38->move(Image37->x() + Image38->width() + 10, Image37->y());
}

void TForm1::ApplyLanguage(int languageCode) {
    languageCode_ = languageCode;
    catalogue_.setLanguage(languageOf(languageCode));
    widgets::applyLanguage(this, catalogue_);
    // Hints stay up to 30 seconds, long enough to read the longer ones.
    for (QWidget* widget : findChildren<QWidget*>()) {
        widget->setToolTipDuration(kHintDurationMs);
    }
    // The unit labels wait for the configuration page to say "mA" or "V".
    UpdateProductLink();
}

void TForm1::changeLanguage(int languageCode) {
    // The file comes first, so the choice holds for the next run even if the rest fails.
    writeSettings(bundle_.workingFolder, languageCode);
    ApplyLanguage(languageCode);
    // The lists were refilled without a selection: read the encoder to select them again.
    connection_->Identify();
    procedures_->readParameters();
}

void TForm1::Italiano1Click() {
    changeLanguage(kItalian);
}
void TForm1::English1Click() {
    changeLanguage(kEnglish);
}

void TForm1::LayoutMainWindow() {
    using namespace widgets::grid;
    ClearConfigSummary();
    resize(kWindowWidth, kWindowHeight);

    SpeedButton2->setVisible(true);
    SpeedButton2->setEnabled(true);
    SpeedButton4->setVisible(true);
    SpeedButton4->setEnabled(false);
    SpeedButton7->setVisible(true);
    SpeedButton7->setEnabled(false);
    SpeedButton8->setVisible(false);
    for (widgets::SpeedButton* b : {SpeedButton2, SpeedButton4, SpeedButton7, SpeedButton8}) {
        b->move(0, b->y());
    }

    Image10->move(0, Image10->y());
    Label95->move(kFooterLeft, Label95->y());
    Label104->move(kFooterLeft, Label104->y());
    StackPageButtons();
    placeFooter();

    for (widgets::PagePanel* page :
         std::initializer_list<widgets::PagePanel*>{Panel1, Panel6, Panel7}) {
        page->setGeometry(kPageLeft, kPageTop, kPageWidth, kPageHeight);
        page->layoutPage();
    }
    Panel2->setGeometry(kPageLeft, kPageTop, kPageWidth, Panel2->height());
    Panel2->layoutPage();
    const int familyTop = Panel2->y() + Panel2->height() - 1;
    const int familyHeight = kPageHeight - Panel2->height() + 1;
    for (widgets::PagePanel* page :
         std::initializer_list<widgets::PagePanel*>{Panel3, Panel4, Panel5}) {
        page->setGeometry(kPageLeft, familyTop, kPageWidth, familyHeight);
        page->layoutPage();
    }
    Panel3->selectFirstItems();
    Panel4->selectFirstItems();
    Panel5->selectFirstItems();
}

void TForm1::ClearConfigSummary() {
    loadSavePage->ClearConfigSummary();
}

void TForm1::ResetPageState() {
    for (QWidget* page :
         std::initializer_list<QWidget*>{Panel1, Panel2, Panel3, Panel4, Panel5, Panel6, Panel7}) {
        page->hide();
    }
    for (widgets::SpeedButton* b : {SpeedButton2, SpeedButton4, SpeedButton7, SpeedButton8}) {
        b->setSelectedPage(false);
    }
    for (widgets::PagePanel* page : std::initializer_list<widgets::PagePanel*>{
             Panel1, Panel2, Panel3, Panel4, Panel5, Panel6, Panel7}) {
        page->resetPageState();
    }
    loadSavePage->showCaptions();
    UpdateProductLink();
}

void TForm1::StackPageButtons() {
    int h = 0;
    for (widgets::SpeedButton* b : {SpeedButton2, SpeedButton4, SpeedButton7, SpeedButton8}) {
        if (!b->isHidden()) {
            b->move(b->x(), h);
            h += b->height() - kStackOverlap;
        }
    }
}

void TForm1::UpdateProductLink() {
    productLink_ = productLinkFor(languageCode_, state_.family);
    Label93->setToolTip(productLink_);
}

void TForm1::Label93Click() {
    if (bundle_.openUrl) {
        bundle_.openUrl(productLink_);
    }
}

void TForm1::showPage(widgets::SpeedButton* button, std::initializer_list<QWidget*> panels) {
    ResetPageState();
    for (QWidget* panel : panels) {
        panel->show();
        panel->raise();
    }
    button->setSelectedPage(true);
}

void TForm1::SpeedButton2Click() {
    showPage(SpeedButton2, {Panel1});
    connection_->opened();
}

void TForm1::offerParameterPages(bool familyKnown) {
    // An output type that names no family keeps the parameter pages out of reach; the load/save
    // button stays in its place, disabled.
    SpeedButton4->setVisible(familyKnown);
    SpeedButton4->setEnabled(familyKnown);
    SpeedButton7->show();
    SpeedButton7->setEnabled(familyKnown);
    SSIconfiguration1->setVisible(familyKnown);
}

void TForm1::SpeedButton4Click() {
    if (QWidget* familyPanel = configurationPanelOf(state_.family)) {
        showPage(SpeedButton4, {Panel2, familyPanel});
    } else {
        showPage(SpeedButton4, {Panel2});
    }
    positionProcedures_->readBeforePolling();
    positionMonitor->startPolling();
}

QWidget* TForm1::configurationPanelOf(model::Family family) const {
    // The family's page is found by its name, so a family brings its page with its row alone.
    const std::string_view name = model::profileOf(family).configurationPanel;
    if (name.empty()) {
        return nullptr;
    }
    return findChild<widgets::PagePanel*>(
        QLatin1String(name.data(), static_cast<qsizetype>(name.size())));
}

void TForm1::SpeedButton7Click() {
    showPage(SpeedButton7, {Panel6});
    loadSavePage->opened();
    procedures_->readSummaryParameters();
}

void TForm1::SpeedButton8Click() {
    showPage(SpeedButton8, {Panel7});
    factoryPage->opened();
}

void TForm1::appendLine(const std::string& line) {
    if (trafficWindow_ != nullptr) {
        trafficWindow_->appendLine(QString::fromStdString(line));
    }
}

void TForm1::receiveFailure(link::RxFailure failure) {
    if (trafficWindow_ != nullptr) {
        trafficWindow_->appendLine(catalogue_.text(link::rxFailureKey(failure)));
    }
}

void TForm1::ShowTrafficWindow() {
    auto* window = new TForm2(this);
    trafficWindow_ = window;
    window->show();
    window->setWindowTitle(QStringLiteral("RS232"));
    window->setGeometry(x() + frameGeometry().width(), y(), kTrafficWindowWidth, height());
    window->appendLine(QStringLiteral(" "));
    window->appendLine(QStringLiteral(" "));
}

void TForm1::about1Click() {
    TForm3 box(this, catalogue_.text("TxtAbout"));
    box.move(geometry().center() - box.rect().center());
    box.exec();
}

}  // namespace orvo::shell
