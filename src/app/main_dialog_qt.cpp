#include "app/main_dialog_qt.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <ctime>
#include <system_error>

#include "app/about_box_qt.h"
#include "app/application.h"
#include "app/program_icon_qt.h"
#include "helpgen/help_generator.h"
#include "helpgen/help_topic.h"
#include "ui/control_cell.h"
#include "ui/help_pictures.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/service_configuration.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"

namespace vossik {
namespace {

// The size the settings window opens with when its pages ask for less.
constexpr int kRoomyWidth = 640;
constexpr int kRoomyHeight = 480;

}  // namespace

MainDialogSetup MainDialogSetupFor(Application& application) {
  MainDialogSetup setup;
  setup.identity = application.Identity();
  setup.help_base_name = application.Paths().help_base_name;
  setup.settings = &application.Settings();
  setup.preferences = &application.Preferences();
  setup.descriptor_root = application.DescriptorRoot();
  setup.wizard_uid = application.Options().wizard_uid;
  setup.template_folders = application.TemplateFolders();
  setup.help_assets_dir = application.Paths().Locate("help");
  setup.administration = application.Paths().AdministrationMode();
  setup.service_name = application.Paths().help_base_name;
  setup.admin_version = setup.identity.version + "." + setup.identity.build;
  // A failure has been shown to the user; the window stays with the settings as applied.
  setup.reinitialise = [&application] {
    static_cast<void>(application.InitialiseFromConfiguration());
  };
  return setup;
}

QRect MainDialogSheetRect(int width, int height) { return QRect(4, 4, width - 4, height - 4); }

TrackingSize MainDialogTracking(const TrackingSize& sheet) {
  auto grow = [](int size) { return size > 0 ? size + 4 : 0; };
  return {grow(sheet.min_width), grow(sheet.min_height), grow(sheet.max_width),
          grow(sheet.max_height)};
}

QSize MainDialogInitialSize(const TrackingSize& sheet) {
  const TrackingSize limits = MainDialogTracking(sheet);
  int width = std::max(limits.min_width, kRoomyWidth);
  int height = std::max(limits.min_height, kRoomyHeight);
  if (limits.max_width > 0) width = std::min(width, limits.max_width);
  if (limits.max_height > 0) height = std::min(height, limits.max_height);
  return QSize(width, height);
}

MainDialog::MainDialog(MainDialogSetup setup, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      setup_(std::move(setup)) {
  setObjectName("main");
  setWindowTitle(ToQString(setup_.identity.product_name));
  setWindowIcon(ProgramIcon());

  // The window menu: where a Windows program keeps "About" in its system menu.
  about_ = new QAction(ToQString("About " + setup_.identity.product_name + "..."), this);
  about_->setObjectName("aboutAction");
  connect(about_, &QAction::triggered, this, &MainDialog::ShowAbout);
  addAction(about_);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  sheet_ = new CGUIPropertySheet(setup_.settings, this);
  sheet_->SetWizardUid(setup_.wizard_uid.empty() ? nullptr : setup_.wizard_uid.c_str());
  sheet_->SetMainWindow(this);
  sheet_->SetPreferences(setup_.preferences);
  sheet_->SetHelpHook(
      [this](const std::string& help_base_name, const std::string& sheet_name,
             const std::string& page_uid) { ShowHelpTopic(help_base_name, sheet_name, page_uid); });
  connect(sheet_, &CGUIPropertySheet::CloseRequested, this, [this] { close_approved_ = true; });
  if (setup_.administration && setup_.wizard_uid.empty() && setup_.settings != nullptr) {
    setWindowTitle(ToQString(setup_.identity.product_name + " Administration"));
    bar_ = new ServiceBar(setup_.identity.product_name, setup_.service_environment);
    sheet_->SetServiceBar(bar_);
    transfer_ = std::make_unique<ServiceConfiguration>(
        *bar_, *setup_.settings, setup_.descriptor_root, setup_.service_name,
        setup_.identity.product_name, setup_.admin_version);
    sheet_->SetConfigurationSource(transfer_.get());
    if (setup_.descriptor_root != nullptr) {
      sheet_->SetSheetRoot(setup_.descriptor_root->FindElement("administration", nullptr, false));
    }
    transfer_->Prepare();
  }
  sheet_->SetUp(setup_.identity.product_name, setup_.help_base_name, setup_.descriptor_root);

  // The wizard hides its tab row, so it keeps the context menu only.
  auto* tabs = sheet_->findChild<QTabWidget*>("tabs", Qt::FindDirectChildrenOnly);
  if (tabs != nullptr && !sheet_->WizardMode()) {
    auto* menu_button = new QToolButton(tabs);
    menu_button->setObjectName("windowMenu");
    menu_button->setIcon(ProgramIcon());
    menu_button->setAutoRaise(true);
    menu_button->setToolTip(about_->text());
    menu_button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(menu_button);
    menu->addAction(about_);
    menu_button->setMenu(menu);
    tabs->setCornerWidget(menu_button, Qt::TopRightCorner);
  }

  ApplyTracking();
  resize(MainDialogInitialSize(sheet_->Tracking()));
  sheet_->setGeometry(MainDialogSheetRect(width(), height()));
}

MainDialog::~MainDialog() {
  // The transfer goes before the dialog's children; the sheet, which goes
  // with them, must not turn to it any more.
  sheet_->SetConfigurationSource(nullptr);
}

void MainDialog::ApplyTracking() {
  const TrackingSize limits = MainDialogTracking(sheet_->Tracking());
  setMinimumSize(limits.min_width, limits.min_height);
  setMaximumSize(limits.max_width > 0 ? limits.max_width : QWIDGETSIZE_MAX,
                 limits.max_height > 0 ? limits.max_height : QWIDGETSIZE_MAX);
}

void MainDialog::resizeEvent(QResizeEvent* event) {
  sheet_->setGeometry(MainDialogSheetRect(width(), height()));
  QDialog::resizeEvent(event);
}

bool MainDialog::event(QEvent* event) {
  if (event->type() == kStartMainTaskEvent) {
    StartIndexBuild();
    return true;
  }
  if (event->type() == kConfigurationChangedEvent) {
    if (setup_.reinitialise) setup_.reinitialise();
    return true;
  }
  // The sheet's size limits change with the sheet shown; it says so by
  // changing its own minimum, which asks its parent for a new layout.
  if (event->type() == QEvent::LayoutRequest) ApplyTracking();
  return QDialog::event(event);
}

void MainDialog::reject() {
  if (close_approved_) {
    QDialog::reject();
    return;
  }
  sheet_->Cancel();
}

void MainDialog::StartIndexBuild() {
  if (setup_.settings == nullptr) return;
  // The build reads the store: what was just typed on the page with the
  // Build button has to be in it.
  if (sheet_->Store() != nullptr) {
    if (CGUIPropertyPage* page = sheet_->ActivePage()) page->ExchangeValues(true);
  }
  RunIndexBuild(this, *setup_.settings, setup_.descriptor_root, setup_.template_folders,
                setup_.build_options);
}

void MainDialog::ShowAbout() {
  AboutBox about(setup_.identity, this);
  about.exec();
}

void MainDialog::ShowHelpTopic(const std::string& help_base_name, const std::string& sheet_name,
                               const std::string& page_uid) {
  std::error_code ec;
  const std::filesystem::path topic =
      std::filesystem::absolute(HelpTopicPath(help_base_name, sheet_name, page_uid), ec);
  std::string error;
  if (!help_written_) {
    // The same pages as the help project, which is what a user's guide shows.
    HelpGenerator generator(setup_.descriptor_root, setup_.identity, setup_.help_assets_dir,
                            std::time(nullptr));
    generator.SetImageWriter(WriteHelpImages);
    help_written_ = generator.Generate(true, help_base_name, &error) == 0;
  }
  if (!std::filesystem::exists(topic, ec)) {
    std::string text = "The help page " + topic.string() + " could not be written.";
    if (!error.empty()) text += "\n" + error;
    ShowAdminMessage(this, MessageKind::kWarning, setup_.identity.product_name, text);
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(topic.string())))) {
    ShowAdminMessage(
        this, MessageKind::kWarning, setup_.identity.product_name,
        "No web browser could be started to show the help page " + topic.string() + ".");
  }
}

}  // namespace vossik
