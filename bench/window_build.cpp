// Times an index build run the way the settings window runs it: behind the
// progress window, on its worker thread in time slices, with every progress
// report posted to the window and drawn. Prints the seconds from showing the
// window to "Close". Run it on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen window_build DESCRIPTOR SITE TARGET TEMPLATES
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "indexer/index_builder.h"
#include "indexer/index_options.h"
#include "settings/config_descriptor.h"
#include "settings/settings_store.h"
#include "ui/index_progress_window.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: window_build DESCRIPTOR SITE TARGET TEMPLATES\n");
    return 2;
  }
  QApplication application(argc, argv);
  vossik::ConfigDescriptor descriptor;
  if (!descriptor.LoadFile(argv[1])) {
    std::fprintf(stderr, "cannot load the descriptor %s\n", argv[1]);
    return 1;
  }
  vossik::SettingsStore settings;
  if (settings.Parse(std::string("[Index]\nDirSrc=") + argv[2] + "\nDirDest=" + argv[3] + "\n") !=
      0) {
    return 1;
  }
  auto builder = vossik::MakeTask<vossik::IndexBuilder>(
      vossik::kWindowTimeSliceMs, std::vector<std::filesystem::path>{argv[4]});
  std::string description;
  if (!builder->configure(vossik::ReadIndexOptions(settings, descriptor.Root()), &description)) {
    std::fprintf(stderr, "%s\n", builder->ConfigureError().c_str());
    return 2;
  }
  vossik::IndexBuilder* build = builder.get();
  vossik::IndexProgressWindow window(std::move(builder), description);
  auto* close = window.findChild<QPushButton*>(QStringLiteral("cancelButton"));
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (close->text() == QStringLiteral("Close")) window.accept();
  });
  poll.start(1);
  const auto start = std::chrono::steady_clock::now();
  window.exec();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::string status = build->StatusText();
  std::printf("%.3f %s\n", seconds, status.c_str());
  return build->Failure().empty() ? 0 : 1;
}
