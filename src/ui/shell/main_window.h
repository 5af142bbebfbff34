#pragma once

// The main window: the page-button column, the pages, the menu bar and the footer, and the life
// of the program (the serial link is started when the window is made and stopped when it goes).

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <memory>

#include "connection/connection_page.h"
#include "connection/encoder_state.h"
#include "connection/family.h"
#include "link/link.h"
#include "link/port_list.h"
#include "link/traffic.h"
#include "ui/base/controls.h"
#include "ui/catalogue.h"
#include "ui/shell/platform_bundle.h"
#include "ui/shell/traffic_window.h"

namespace orvo::connection {
class IdentificationPanel;
class PositionPanel;
class PositionMonitor;
}  // namespace orvo::connection
namespace orvo::params {
class SsiPage;
class ResolutionPage;
class SsiPanel;
class AnalogPanel;
class ParallelPanel;
}  // namespace orvo::params
namespace orvo::config {
class LoadSavePanel;
}

namespace orvo::ui {

class FactoryPanel;

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

    // Read-backs and writes that several pages share. Each is defined in the wiring file of
    // the page that owns it (wire_*.cpp beside this file).
    bool RefreshConfiguration();
    bool WriteConfiguration();
    bool SaveParameters();
    bool RefreshInterface();
    void ReadScalingResolution();
    bool ReadProgrammedResolution();
    // The mode presentation of the family's resolution group, from the configuration state.
    void PresentProgrammingMode();
    void ActivatePreset();
    void PollTick();

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
    const Catalogue& catalogue() const { return catalogue_; }
    connection::Family family() const { return state_.family; }
    void setFamily(connection::Family family) { state_.family = family; }
    connection::EncoderState& encoderState() { return state_; }
    connection::ConnectionPage& connectionPage() { return *connection_; }
    const QString& productLink() const { return productLink_; }
    TForm2* trafficWindow() const { return trafficWindow_; }
    link::Link& serialLink() { return *link_; }
    link::PortList& portList() { return *portList_; }
    const PlatformBundle& bundle() const { return bundle_; }

    // Controls of the window itself.
    SpeedButton* SpeedButton1;  // help button; there is no help page, so it stays hidden
    SpeedButton* SpeedButton2;
    SpeedButton* SpeedButton4;
    SpeedButton* SpeedButton7;
    SpeedButton* SpeedButton8;

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
    params::ResolutionPage* resolutionPage = nullptr;
    connection::PositionMonitor* positionMonitor = nullptr;

    connection::IdentificationPanel* Panel1;
    connection::PositionPanel* Panel2;
    params::SsiPanel* Panel3;
    params::AnalogPanel* Panel4;
    params::ParallelPanel* Panel5;
    config::LoadSavePanel* Panel6;
    FactoryPanel* Panel7;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void FormResize();
    void buildMenus();
    void buildFooter();
    void showPage(SpeedButton* button, std::initializer_list<QWidget*> panels);
    void changeLanguage(int languageCode);
    void placeFooter();
    void connectPages();
    void connectSsiPage();          // wire_ssi_page.cpp
    void connectResolutionPage();   // wire_resolution_page.cpp
    void connectPositionMonitor();  // wire_position_monitor.cpp

    PlatformBundle bundle_;
    std::unique_ptr<platform::PortLister> ownLister_;
    std::unique_ptr<platform::Dialogs> ownDialogs_;
    std::unique_ptr<link::PortList> portList_;
    std::unique_ptr<link::Link> link_;
    Catalogue catalogue_;
    int languageCode_ = 0;
    connection::EncoderState state_;
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
QString productLinkFor(int languageCode, connection::Family family);

}  // namespace orvo::ui
