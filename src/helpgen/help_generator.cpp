#include "helpgen/help_generator.h"

#include "base/result_codes.h"
#include "helpgen/config_reference.h"
#include "helpgen/descriptor_walk.h"
#include "helpgen/guide_pages.h"
#include "helpgen/help_project.h"
#include "helpgen/help_run.h"
#include "xml/xml_document.h"

namespace vossik {

HelpGenerator::HelpGenerator(const XmlNode* root, ProductIdentity identity,
                             std::filesystem::path assets_dir, std::time_t build_time)
    : root_(root),
      identity_(std::move(identity)),
      assets_dir_(std::move(assets_dir)),
      build_time_(build_time) {}

GuideKind HelpGenerator::GuideKindFor(bool project_run, const ProductIdentity& identity) {
  if (project_run && identity.documentation_flag == 0) return GuideKind::kUser;
  return GuideKind::kAdministration;
}

int HelpGenerator::Generate(bool project_run, std::string_view help_base_name, std::string* error) {
  return Generate(project_run, GuideKindFor(project_run, identity_) == GuideKind::kAdministration,
                  help_base_name, error);
}

int HelpGenerator::Generate(bool project_run, bool administration_guide,
                            std::string_view help_base_name, std::string* error) {
  if (!root_) return kResultOk;
  const GuideKind kind = administration_guide ? GuideKind::kAdministration : GuideKind::kUser;

  HelpRun run;
  run.root = root_;
  run.product_name = identity_.product_name;
  run.wording = WordingOf(kind);
  run.footer = HelpFooter(identity_, build_time_);
  if (!run.folder.Create()) {
    if (error) *error = run.folder.Failures();
    return kResultMissing;
  }
  run.folder.CopyAssets(assets_dir_);
  run.keywords.SetCollecting(project_run);

  if (project_run) {
    run.folder.Write(std::string(help_base_name) + ".hhp",
                     HelpProjectFile(help_base_name, run.product_name));
    run.contents.Start();
    run.folder.Write("default.htm",
                     HelpWelcomePage(identity_, help_base_name, run.wording,
                                     kind == GuideKind::kAdministration, run.footer));
    AddFixedContents(&run.contents);
    AddProductDocumentation("product.piml", &run.contents);
  }

  GuidePages guide(&run);
  const GuideSheets sheets = FindGuideSheets(root_);
  for (const XmlNode* sheet : sheets.wizard) guide.WriteSheet(sheet);
  run.contents.Append("<LI> <OBJECT type=\"text/sitemap\">" +
                      std::string(run.wording.contents_folder) + "</OBJECT><UL>");
  for (const XmlNode* sheet : sheets.others) guide.WriteSheet(sheet);
  guide.WriteGuideIndex();

  if (kind == GuideKind::kAdministration) {
    run.contents.Append(
        "</UL><LI> <OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Configuration\">"
        "</OBJECT><UL>");
    WriteConfigReference(&run);
  }

  if (project_run) {
    run.folder.Write("Table of Contents.hhc", run.contents.Finish(run.footer));
    run.folder.Write("Index.hhk", KeywordIndexFile(run.keywords, run.footer));
    run.keywords.Clear();
  }

  if (image_writer_) {
    std::string image_error;
    if (!image_writer_(root_, run.folder.Path(), &image_error)) run.folder.AddFailures(image_error);
  }

  if (!run.folder.Ok()) {
    if (error) *error = run.folder.Failures();
    return kResultMissing;
  }
  return kResultOk;
}

}  // namespace vossik
