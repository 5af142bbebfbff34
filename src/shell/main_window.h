#pragma once

// The main window: the page-button column, the pages, the menu bar and the footer, and the life
// of the program (the serial link is started when the window is made and stopped when it goes).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <memory>

#include "config/file_procedures.h"
#include "connection/connection_page.h"
#include "connection/connection_procedures.h"
#include "connection/position_procedures.h"
#include "factory/factory_tools.h"
#include "link/link.h"
#include "link/port_list.h"
#include "link/traffic.h"
#include "model/encoder_state.h"
#include "model/family.h"
#include "pages/page_context.h"
#include "params/parameter_procedures.h"
#include "params/register_writes.h"
#include "params/resolution_writes.h"
#include "shell/platform_bundle.h"
#include "shell/traffic_window.h"
#include "text/catalogue.h"
#include "widgets/controls.h"

namespace orvo::connection {
class IdentificationPanel;
class PositionPanel;
class PositionMonitor;
}  // namespace orvo::connection
namespace orvo::params {
class SsiPage;
class ResolutionPage;
class AnalogPage;
class ParallelPage;
class SsiPanel;
class AnalogPanel;
class ParallelPanel;
}  // namespace orvo::params
namespace orvo::config {
class LoadSavePanel;
class LoadSavePage;
}  // namespace orvo::config
namespace orvo::factory {
class FactoryPanel;
class FactoryPage;
}  // namespace orvo::factory

namespace orvo::shell {

// A label that acts on a click: the product link and the two flags.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(const QString& objectName, QWidget* parent);
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class TForm1 : public QMainWindow, public link::TrafficSink {
    Q_OBJECT
public:
    explicit TForm1(PlatformBundle bundle, QWidget* parent = nullptr);
    ~TForm1() override;

    // Page handlers; the menu items of the File menu call them only for a usable button.
    void SpeedButton2Click();
    void SpeedButton4Click();
    void SpeedButton7Click();
    void SpeedButton8Click();

    void Italiano1Click();
    void English1Click();
    void ShowTrafficWindow();
    void about1Click();
    void Label93Click();

    void StackPageButtons();
    void UpdateProductLink();
    void LayoutMainWindow();
    void ResetPageState();
    void ClearConfigSummary();
    void ApplyLanguage(int languageCode);

    // The link's traffic lines; the traffic window takes them only while visible.
    void appendLine(const std::string& line) override;
    void receiveFailure(link::RxFailure failure) override;

    int languageCode() const { return languageCode_; }
    const text::Catalogue& catalogue() const { return catalogue_; }
    model::Family family() const { return state_.family; }
    void setFamily(model::Family family) { state_.family = family; }
    model::EncoderState& encoderState() { return state_; }
    connection::ConnectionPage& connectionPage() { return *connection_; }
    // The read-backs and writes every page shares, and what every page is handed.
    params::ParameterProcedures& procedures() { return *procedures_; }
    pages::PageContext& pageContext() { return *context_; }
    // The save and load of configuration files.
    config::FileProcedures& fileProcedures() { return *files_; }
    const QString& productLink() const { return productLink_; }
    TForm2* trafficWindow() const { return trafficWindow_; }
    link::Link& serialLink() { return *link_; }
    link::PortList& portList() { return *portList_; }
    const PlatformBundle& bundle() const { return bundle_; }

    // Controls of the window itself.
    widgets::SpeedButton* SpeedButton1;  // help button; there is no help page, so it stays hidden
    widgets::SpeedButton* SpeedButton2;
    widgets::SpeedButton* SpeedButton4;
    widgets::SpeedButton* SpeedButton7;
    widgets::SpeedButton* SpeedButton8;

    QMenu* file1;
    QAction* Identification1;
    QAction* SSIconfiguration1;
    QAction* LoadorSaveconfig1;
    QAction* Exit1;
    QMenu* Setup1;
    QMenu* Language1;
    QAction* Italiano1;
    QAction* English1;
    QAction* Viewmessage1;
    QAction* caricaprmdef1;
    QAction* about1;

    QLabel* Image10;          // logo
    QLabel* Label95;          // telephone line
    QLabel* Label104;         // e-mail line
    ClickableLabel* Label93;  // product link
    ClickableLabel* Image37;  // Italian flag
    ClickableLabel* Image38;  // British flag

    // The page behaviours, owned through Qt's parent ownership.
    params::SsiPage* ssiPage = nullptr;
    params::ResolutionPage* ssiResolution = nullptr;       // GroupBox16 of Panel3
    params::ResolutionPage* parallelResolution = nullptr;  // GroupBox19 of Panel5
    params::AnalogPage* analogPage = nullptr;
    params::ParallelPage* parallelPage = nullptr;
    connection::PositionMonitor* positionMonitor = nullptr;
    config::LoadSavePage* loadSavePage = nullptr;
    factory::FactoryPage* factoryPage = nullptr;

    connection::IdentificationPanel* Panel1;
    connection::PositionPanel* Panel2;
    params::SsiPanel* Panel3;
    params::AnalogPanel* Panel4;
    params::ParallelPanel* Panel5;
    config::LoadSavePanel* Panel6;
    factory::FactoryPanel* Panel7;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormResize();
    void buildMenus();
    void buildFooter();
    void showPage(widgets::SpeedButton* button, std::initializer_list<QWidget*> panels);
    // The configuration and load/save page buttons after an output-type read.
    void offerParameterPages(bool familyKnown);
    // The page that configures the family, shown under the position strip; none for no family.
    QWidget* configurationPanelOf(model::Family family) const;
    void changeLanguage(int languageCode);
    void placeFooter();
    // wire_pages.cpp: each page made with the page context and its panel, and its controls
    // connected to its handlers.
    void connectPages();
    void connectConnectionPage();
    void connectConfigurationPages();

    PlatformBundle bundle_;
    std::unique_ptr<platform::PortLister> ownLister_;
    std::unique_ptr<platform::Dialogs> ownDialogs_;
    std::unique_ptr<link::PortList> portList_;
    std::unique_ptr<link::Link> link_;
    text::Catalogue catalogue_;
    int languageCode_ = 0;
    model::EncoderState state_;
    std::unique_ptr<params::ParameterProcedures> procedures_;
    std::unique_ptr<params::RegisterWrites> registerWrites_;
    std::unique_ptr<params::ResolutionWrites> resolutionWrites_;
    std::unique_ptr<pages::PageRequests> requests_;
    std::unique_ptr<pages::PageContext> context_;
    std::unique_ptr<config::FileProcedures> files_;
    // The exchanges of the identification page, the position strip and the factory page.
    std::unique_ptr<connection::ConnectionProcedures> connectionProcedures_;
    std::unique_ptr<connection::PositionProcedures> positionProcedures_;
    std::unique_ptr<factory::FactoryTools> factoryTools_;
    std::unique_ptr<connection::ConnectionPage> connection_;
    QString productLink_;
    bool receiveThreadStarted_ = false;
    QPointer<TForm2> trafficWindow_;
    QWidget* central_ = nullptr;
};

// Where the product pages live.
struct ProductSite {
    static constexpr const char* kItalianHome = "https://www.orvo.example/ita/index.php";
    static constexpr const char* kInternationalHome = "https://www.orvo.example/eng/index.php";
    static constexpr const char* kSite = "https://www.orvo.example";
};

// The product page for a language and family.
QString productLinkFor(int languageCode, model::Family family);

}  // namespace orvo::shell
