#include "export/definition_files.h"

#include <set>

#include "support/bvk_file_util.h"

namespace tessary {
namespace {

constexpr const char* kDefaultObjectTypes[] = {"User", "Group", "Contact", "Computer",
                                               "Organizational-Unit"};

// The file's lines; none when it cannot be read.
std::vector<std::string> ReadNames(const std::string& path, bool* readable = nullptr) {
  CBVKFileUtil files;
  std::vector<std::string> lines;
  const bool read = files.ReadLines(path, &lines);
  if (readable) *readable = read;
  if (!read) lines.clear();
  return lines;
}

// The value of the first RDN of a schema DN: "CN=User,CN=Schema,..." gives "User".
std::string CommonName(const std::string& schema_dn) {
  std::string name = schema_dn.size() > 3 ? schema_dn.substr(3) : std::string();
  return name.substr(0, name.find(','));
}

void WriteNames(const std::string& path, const std::vector<std::string>& names) {
  std::vector<std::string> lines;
  for (const std::string& name : names) {
    if (!name.empty()) lines.push_back(name);  // blank lines are never written
  }
  CBVKFileUtil files;
  (void)files.WriteLines(path, lines, CBVKFileUtil::Overwrite::Yes);
}

}  // namespace

std::string DefinitionFilePath(const std::string& program_folder, const char* file_name) {
  if (program_folder.empty()) return file_name;
  return CBVKFileUtil::AddTrailingSlash(program_folder) + file_name;
}

void ReadObjectTypes(const CExDomain& domain, const std::string& path, SchemaRecordMap* types) {
  std::vector<std::string> names = ReadNames(path);
  if (names.empty()) names.assign(std::begin(kDefaultObjectTypes), std::end(kDefaultObjectTypes));
  for (const std::string& name : names) {
    // A blank line would match the first class of all by its prefix "CN=".
    if (name.empty()) continue;
    if (CBVKADSchemaObject* found = domain.FindClassByDNPrefix("CN=" + name)) {
      (*types)[found->AdminDisplayName] = found;
    }
  }
}

void ReadAttributeDefinitions(const CExDomain& domain, const std::string& path,
                              const std::vector<std::string>& chosen_names,
                              SchemaRecordMap* attributes) {
  std::vector<std::string> names = ReadNames(path);
  names.insert(names.end(), chosen_names.begin(), chosen_names.end());
  for (const std::string& name : names) {
    const std::string dn = "CN=" + name + "," + domain.SchemaNamingContext;
    if (CBVKADSchemaObject* found = domain.FindAttributeByDN(dn)) {
      (*attributes)[found->AdminDisplayName] = found;
    }
  }
}

void WriteObjectTypes(const std::string& path, const SchemaRecordMap& types) {
  std::vector<std::string> names;
  for (const auto& [admin_name, record] : types) names.push_back(CommonName(record->SchemaDN));
  WriteNames(path, names);
}

void WriteAttributeDefinitions(const std::string& path,
                               const std::vector<std::string>& chosen_names) {
  bool readable = false;
  std::vector<std::string> lines = ReadNames(path, &readable);
  if (!readable) return;
  std::set<std::string> names(lines.begin(), lines.end());
  names.insert(chosen_names.begin(), chosen_names.end());
  WriteNames(path, {names.begin(), names.end()});
}

}  // namespace tessary
