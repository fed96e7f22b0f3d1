#include "ui/file_list.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCursor>
#include <filesystem>
#include <system_error>

#include "admin/admin_result.h"
#include "base/ascii_case.h"
#include "base/file_io.h"
#include "base/result_codes.h"
#include "base/string_util.h"
#include "net/http_request.h"
#include "settings/parameter_ref.h"
#include "ui/control_cell.h"
#include "ui/message_box.h"
#include "ui/property_page.h"
#include "ui/property_sheet.h"
#include "ui/service_requests.h"
#include "ui/setting_control.h"
#include "xml/xml_document.h"
#include "xml/xml_escaping.h"

namespace vossik {
namespace {

constexpr std::string_view kHttpPrefix = "http://";
constexpr std::string_view kFilePrefix = "file://";
constexpr int kHttpTimeoutSeconds = 60;

// The wait cursor for as long as one file is read or fetched.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// A direct child of the first of the reference's elements that has one:
// `file` and `populateaction` also occur inside `files`, where a deep search
// would find them.
const XmlNode* DirectChild(const ParameterRef& ref, std::string_view name) {
  for (const XmlNode* element : {ref.override_element, ref.parameter, ref.type}) {
    if (element == nullptr) continue;
    if (const XmlNode* child = element->FindElement(name, nullptr, false)) return child;
  }
  return nullptr;
}

std::string TextOf(const XmlNode* element) {
  return element != nullptr ? std::string(TrimBlanks(element->Text())) : std::string();
}

// The file element's own child's text, else the parameter's.
std::string OwnOrShared(const XmlNode& file, const ParameterRef& ref, std::string_view name) {
  if (const XmlNode* own = file.FindElement(name, nullptr, false)) return TextOf(own);
  return TextOf(DirectChild(ref, name));
}

// A `file` element's own text, without that of the children that give its
// `populateaction` or `emptyprompt`.
std::string LocalNameOf(const XmlNode& file) { return TextOf(&file); }

// Parses a fetched copy. The parser splices in the files that "xmlinclude"
// elements name; a copy from a service or a web address must not make this
// program read files of its choosing here, so a copy with such an element
// is refused. (A file here is kept escaped and cannot hold one.)
bool ParseFetched(std::string_view copy, XmlDocument* document) {
  if (copy.find("<xmlinclude") != std::string_view::npos) return false;
  return document->Parse(copy) == kResultOk && document->Root() != nullptr;
}

// The time a service request gives for the copy at `path`: a second before
// it was written, 0 without a copy. Times count in whole seconds, and data
// that changed in the second the copy was written may be newer than the
// copy; asking for anything changed since the second before fetches it.
std::time_t StampOf(const std::string& path) {
  const std::time_t written = CopyTime(path);
  return written > 0 ? written - 1 : 0;
}

}  // namespace

FileSourceKind SourceKindOf(std::string_view source) {
  if (StartsWithIgnoringCase(source, kHttpPrefix)) return FileSourceKind::kHttp;
  if (StartsWithIgnoringCase(source, kFilePrefix)) return FileSourceKind::kFile;
  return FileSourceKind::kService;
}

std::string_view FileSourcePath(std::string_view source) {
  return SourceKindOf(source) == FileSourceKind::kFile ? source.substr(kFilePrefix.size())
                                                       : std::string_view();
}

std::string WrapFileData(std::string_view content) {
  std::string out = "<file><data>";
  AppendEscapedUtf8(out, content);
  out += "</data></file>";
  return out;
}

std::string LocalCopyPath(std::string_view folder, std::string_view local_name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  path += local_name;
  return path;
}

std::vector<ListedFile> ListedFilesOf(const ParameterRef& ref) {
  std::vector<ListedFile> files;
  const auto add = [&](const XmlNode& file) {
    ListedFile listed{LocalNameOf(file), OwnOrShared(file, ref, "populateaction"),
                      OwnOrShared(file, ref, "emptyprompt")};
    if (!listed.local_name.empty()) files.push_back(std::move(listed));
  };
  if (const XmlNode* file = DirectChild(ref, "file")) add(*file);
  if (const XmlNode* list = DirectChild(ref, "files")) {
    for (const XmlNode* file = list->FirstChild(); file != nullptr; file = file->NextSibling()) {
      if (file->Name() == "file") add(*file);
    }
  }
  return files;
}

bool StatisticsText(std::string_view copy, std::string* text) {
  XmlDocument document;
  if (!ParseFetched(copy, &document)) return false;
  const XmlNode* root = document.Root();
  const XmlNode* data = root->FindElement("data", nullptr, false);
  *text = root->Name() == "file" && data != nullptr ? data->Text() : root->Text();
  return true;
}

bool LogText(std::string_view copy, std::string* text) {
  XmlDocument document;
  if (!ParseFetched(copy, &document)) return false;
  const XmlNode* root = document.Root();
  const XmlNode* data = root->Name() == "data" ? root : root->FindElement("data");
  *text = data != nullptr ? data->Text() : std::string();
  return true;
}

std::string LastLines(std::string_view text, int count) {
  if (count <= 0) return {};
  std::size_t end = text.size();
  if (end > 0 && text[end - 1] == '\n') --end;
  std::size_t start = end;
  for (int lines = 0; start > 0; --start) {
    if (text[start - 1] == '\n' && ++lines == count) break;
  }
  return std::string(text.substr(start));
}

bool WriteLocalCopy(const std::string& path, std::string_view bytes, std::string* reason) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  // A folder that cannot be made shows in the write's reason.
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  return ReplaceFileAtomically(path, bytes, reason);
}

std::time_t CopyTime(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mtime : 0;
}

void RefreshPage(const SettingControl& control) {
  if (CGUIPropertyPage* page = control.Page()) {
    page->ExchangeValues(true);
    page->ExchangeValues(false);
  }
}

void FileList::Configure(const SettingControl& control) { files_ = ListedFilesOf(control.Ref()); }

void FileList::Fetch(const SettingControl& control) {
  const bool same_question = fetched_ && fetched_query_ == extra_query_;
  fetched_ = true;
  fetched_query_ = extra_query_;
  CGUIPropertySheet* sheet = control.Sheet();
  ServiceRequests* service =
      sheet != nullptr ? dynamic_cast<ServiceRequests*>(sheet->ServiceBar()) : nullptr;
  const std::string product = sheet != nullptr ? sheet->ProductName() : std::string();
  QWidget* parent = control.Cell();
  for (const ListedFile& file : files_) {
    const std::string path = LocalCopyPath(control.WorkingFolder(), file.local_name);
    std::string content;
    bool replace = false;
    bool not_found = false;
    {
      WaitCursor wait;
      switch (SourceKindOf(file.source)) {
        case FileSourceKind::kHttp: {
          HttpRequest request;
          request.SetUrl(file.source);
          const int status =
              request.Execute(kHttpTimeoutSeconds, kHttpTimeoutSeconds, nullptr, &content);
          replace = status == 200 && !content.empty();
          break;
        }
        case FileSourceKind::kFile: {
          std::string text;
          if (ReadWholeFile(std::string(FileSourcePath(file.source)), &text) && !text.empty()) {
            content = WrapFileData(text);
            replace = true;
          }
          break;
        }
        case FileSourceKind::kService: {
          if (service == nullptr || file.source.empty()) break;
          const AdminResult result = service->ServiceRequest(
              file.source, same_question ? StampOf(path) : -1, extra_query_, &content);
          not_found = result == AdminResult::kNotFound;
          replace = result == AdminResult::kOk && !content.empty();
          break;
        }
      }
    }
    // Said with the ordinary cursor back.
    if (not_found && !file.empty_prompt.empty()) {
      ShowAdminMessage(parent, MessageKind::kWarning, product, file.empty_prompt);
    }
    std::string reason;
    if (replace && !WriteLocalCopy(path, content, &reason)) {
      ShowAdminMessage(parent, MessageKind::kWarning, product,
                       "The copy of " + file.local_name + " could not be kept:\n" +
                           FileErrorText("write", path, reason));
    }
  }
}

bool FileList::Read(const SettingControl& control, std::string_view local_name,
                    std::string* content) const {
  for (const ListedFile& file : files_) {
    if (!local_name.empty() && file.local_name != local_name) continue;
    WaitCursor wait;
    return ReadWholeFile(LocalCopyPath(control.WorkingFolder(), file.local_name), content);
  }
  return false;
}

std::string FileList::FirstCopyPath(const SettingControl& control) const {
  return files_.empty() ? std::string()
                        : LocalCopyPath(control.WorkingFolder(), files_.front().local_name);
}

}  // namespace vossik
