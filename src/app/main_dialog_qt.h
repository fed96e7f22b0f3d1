// MainDialog is the program's main window. It hosts the settings sheet built
// from the descriptor (or, when a wizard uid is given, the first-run wizard),
// runs an index build when a Build button asks for one (event 2591),
// re-initialises the program once applied settings changed (event 1688),
// shows the help page of the page on view, and offers the About box from its
// window menu: the program-icon button at the right of the tab row and the
// window's context menu.
//
// In administration mode (the program runs as vossikadmin) the sheet edits
// the administered service's configuration instead of the program's own:
// it gets the service bar and the configuration transfer, and shows the
// descriptor's `administration` sheets.
//
// The dialog owns the sheet; the settings store and the descriptor belong
// to the caller and must outlive the dialog. User-interface thread only.
#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/product_identity.h"
#include "ui/index_progress_window.h"
#include "ui/page_layout.h"
#include "ui/service_bar.h"

class QAction;

namespace vossik {

class Application;
class CGUIPropertySheet;
class ServiceConfiguration;
class SettingsStore;
class XmlNode;

/// Everything the main dialog needs from the application.
struct MainDialogSetup {
  ProductIdentity identity;
  std::string help_base_name;
  SettingsStore* settings = nullptr;                    // the application's store, not owned
  SettingsStore* preferences = nullptr;                 // the controls' view preferences, not owned
  const XmlNode* descriptor_root = nullptr;             // not owned
  std::string wizard_uid;                               // empty: the settings window
  std::vector<std::filesystem::path> template_folders;  // where the build looks for templates
  std::filesystem::path help_assets_dir;                // the help generator's static files
  std::function<void()> reinitialise;                   // runs after applied settings changed
  IndexBuildOptions build_options;
  bool administration = false;                  // edit the service's configuration (vossikadmin)
  std::string service_name;                     // the name the service is installed under here
  std::string admin_version;                    // "AdminVersion" of the configurations sent
  ServiceBar::Environment service_environment;  // tests replace the clock and services
};

/// The setup of `application`'s main dialog: its store and descriptor, the
/// wizard asked for on the command line, and its re-initialisation.
MainDialogSetup MainDialogSetupFor(Application& application);

/// The sheet's rectangle in a client area of `width` x `height`.
QRect MainDialogSheetRect(int width, int height);

/// The dialog's tracking sizes given the sheet's (0 stays unlimited).
TrackingSize MainDialogTracking(const TrackingSize& sheet);

/// The client size the dialog opens with: roomy, within its tracking sizes.
QSize MainDialogInitialSize(const TrackingSize& sheet);

class MainDialog : public QDialog {
  Q_OBJECT

 public:
  explicit MainDialog(MainDialogSetup setup, QWidget* parent = nullptr);
  ~MainDialog() override;

  CGUIPropertySheet& Sheet() const { return *sheet_; }
  /// The service bar and the configuration transfer of administration
  /// mode; null otherwise.
  ServiceBar* Bar() const { return bar_; }
  ServiceConfiguration* Transfer() const { return transfer_.get(); }
  /// "About <product>...", in the window menu.
  QAction* AboutAction() const { return about_; }

  void ShowAbout();
  /// Opens the help page of (sheet, page) in the desktop's browser. The
  /// first request of the window's life writes the help, pictures included,
  /// so that it describes the descriptor in use.
  void ShowHelpTopic(const std::string& help_base_name, const std::string& sheet_name,
                     const std::string& page_uid);

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  /// Closing the window (Escape, the close box) goes through the sheet's
  /// Cancel, which asks before unapplied changes are lost.
  void reject() override;

 private:
  void StartIndexBuild();
  void ApplyTracking();

  MainDialogSetup setup_;
  // The configuration source of administration mode; it refers to the bar,
  // and the sheet refers to it until the dialog's destructor lets it go.
  std::unique_ptr<ServiceConfiguration> transfer_;
  ServiceBar* bar_ = nullptr;
  CGUIPropertySheet* sheet_ = nullptr;
  QAction* about_ = nullptr;
  bool close_approved_ = false;
  bool help_written_ = false;
};

}  // namespace vossik
