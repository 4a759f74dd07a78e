#include "directory_tool.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "attribute_syntaxes.h"
#include "directory/ds/embedded/embedded_directory.h"
#include "directory/ds/embedded/schema_definition.h"
#include "directory/ds/ldif.h"
#include "directory/ds/open_directory.h"
#include "directory_info.h"
#include "failure_text.h"
#include "ldif_dump.h"
#include "ldif_load.h"
#include "provision.h"
#include "schema_names.h"
#include "sample_data.h"
#include "support/command_line.h"

namespace tessary::tools {
namespace {

constexpr char kUsage[] =
    "usage: tessary-directory [--directory PATH] <command> [options]\n"
    "\n"
    "Administers the embedded directory: one file that behaves as an Active Directory forest.\n"
    "PATH defaults to ${XDG_DATA_HOME:-~/.local/share}/brenvik/directory.db.\n"
    "\n"
    "Commands:\n"
    "  provision --domain NAME [--sample] [--schema-from DIR]\n"
    "      Creates the domain NAME (example.com), and the file when it does not exist.\n"
    "      --sample adds organizational units, users, groups, contacts, computers and an\n"
    "      Exchange 2000 organisation with a mailbox store. --schema-from gives a new file\n"
    "      the full Active Directory schema from Microsoft's schema files in DIR\n"
    "      (/usr/share/samba/setup/ad-schema) instead of the built-in one.\n"
    "  load FILE [--schema-update]\n"
    "      Applies the records of the LDIF file FILE (RFC 2849) in order. A record that fails\n"
    "      leaves nothing of itself; loading stops there. Schema objects (attributeSchema,\n"
    "      classSchema) may be added or changed only with --schema-update; they are never\n"
    "      deleted, renamed or moved.\n"
    "  dump [--base DN]\n"
    "      Writes the whole directory, or the subtree at DN, as LDIF to standard output.\n"
    "  info\n"
    "      Shows the file, its domains, their object counts and the size of the schema.\n"
    "  help\n"
    "      Shows this text.\n"
    "\n"
    "Exit status: 0 on success, 2 on bad usage or failure.\n";

const std::vector<CommandDefinition>& Commands() {
  static const std::vector<CommandDefinition> kCommands = {
      {"provision", {{"domain", true}, {"sample", false}, {"schema-from", true}}, 0, 0},
      {"load", {{"schema-update", false}}, 1, 1},
      {"dump", {{"base", true}}, 0, 0},
      {"info", {}, 0, 0},
      {"classes", {}, 0, 0},
      {"attributes", {}, 0, 0},
  };
  return kCommands;
}

// Options may come anywhere; "help" is a command of its own; a command is required.
constexpr CommandLineRules kCommandLineRules = {
    .global_options_anywhere = true,
    .help_command = true,
    .command_required = true,
    .unknown_command_option = "the command '{command}' has no option '{option}'",
    .missing_operands = "the command '{command}' needs {needs}",
    .unexpected_operand = "unexpected operand '{operand}'"};

// Opens the directory and reads its schema's syntaxes.
bool Open(const std::string& path, std::unique_ptr<ds::Directory>* directory,
          AttributeSyntaxes* syntaxes, std::string* error) {
  return ds::OpenDirectory(path, directory, error) && syntaxes->Load(**directory, error);
}

std::string ConfigurationDn(ds::Directory& directory) {
  std::unique_ptr<ds::Object> root_dse;
  ds::Value value;
  if (Failed(directory.Bind("LDAP://RootDSE", &root_dse)) ||
      Failed(root_dse->Get("configurationNamingContext", &value)) || !value.string())
    return "";
  return *value.string();
}

int Provision(const CommandLine& line, const std::string& path, std::ostream& out,
              std::ostream& err) {
  const std::string domain = line.Value("domain");
  std::string domain_dn, error;
  if (!DomainDnOf(domain, &domain_dn)) {
    err << "tessary-directory: "
        << (domain.empty() ? "provision needs --domain NAME"
                           : "'" + domain + "' is not a DNS domain name such as example.com")
        << "\n";
    return kExitFailure;
  }
  ds::embedded::SchemaDefinition files_schema;
  const ds::embedded::SchemaDefinition* schema = &ds::embedded::BuiltinSchema();
  if (line.Has("schema-from")) {
    // A forest has one schema: the files only make the schema of a new directory file.
    if (std::filesystem::exists(path)) {
      err << "The directory file '" << path
          << "' exists already; --schema-from applies to a new file only.\n";
      return kExitFailure;
    }
    if (!ds::embedded::ReadSchemaFiles(line.Value("schema-from"), &files_schema, &error)) {
      err << error << "\n";
      return kExitFailure;
    }
    ds::embedded::AddExchangeSchema(&files_schema);
    schema = &files_schema;
  }
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  if (!ProvisionDomainInFile(path, domain, *schema, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  out << "Provisioned the domain " << domain << " (" << domain_dn << ") in " << path << ".\n";
  if (!line.Has("sample")) return kExitOk;

  std::unique_ptr<ds::Directory> directory;
  AttributeSyntaxes syntaxes;
  if (!Open(path, &directory, &syntaxes, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  const SamplePlan plan = BuildSamplePlan(domain, domain_dn, ConfigurationDn(*directory));
  if (!WriteSamplePlan(*directory, syntaxes, plan, &error)) {
    err << "Could not add the sample data.\n" << error << "\n";
    return kExitFailure;
  }
  const SampleCounts& c = plan.counts;
  out << "Sample data: " << c.organizational_units << " organizational units, " << c.users
      << " users (" << c.mailboxes << " with a mailbox), " << c.groups
      << " groups (the largest with " << c.largest_group << " members), " << c.contacts
      << " contacts, " << c.computers << " computers, and an Exchange organisation of "
      << c.exchange_objects << " objects with a mailbox store.\n";
  return kExitOk;
}

int Load(const CommandLine& line, const std::string& path, std::ostream& out, std::ostream& err) {
  const std::string file = line.operands[0];
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    err << "Could not open the file '" << file << "'.\n";
    return kExitFailure;
  }
  std::unique_ptr<ds::Directory> directory;
  AttributeSyntaxes syntaxes;
  std::string error;
  if (!Open(path, &directory, &syntaxes, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  if (line.Has("schema-update")) ds::embedded::AllowSchemaUpdates(*directory);
  int loaded = 0;
  if (!LoadLdif(in, *directory, syntaxes, &loaded, &error)) {
    err << "Could not load the file '" << file << "'.\n" << error << "\n";
    if (loaded > 0) err << "The " << loaded << " records before it were loaded.\n";
    return kExitFailure;
  }
  out << "Loaded " << loaded << " records from " << file << ".\n";
  return kExitOk;
}

int Dump(const CommandLine& line, const std::string& path, std::ostream& out, std::ostream& err) {
  std::unique_ptr<ds::Directory> directory;
  AttributeSyntaxes syntaxes;
  std::string error;
  if (!Open(path, &directory, &syntaxes, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  // Each naming context is written as its own subtree, and left out of the others.
  std::vector<std::string> contexts, bases;
  if (!NamingContexts(*directory, &contexts, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  if (line.Has("base"))
    bases.push_back(line.Value("base"));
  else
    bases = contexts;
  ds::LdifWriter writer(out);
  writer.WriteVersion();
  int objects = 0;
  for (const std::string& base : bases) {
    if (!DumpSubtree(*directory, syntaxes, base, contexts, writer, &objects, &error)) {
      out.flush();
      err << error << "\n";
      return kExitFailure;
    }
  }
  return kExitOk;
}

// Opens the directory at path and runs a command that only reads it.
int Report(const std::string& path,
           bool (*write)(ds::Directory& directory, std::ostream& out, std::string* error),
           std::ostream& out, std::ostream& err) {
  std::unique_ptr<ds::Directory> directory;
  std::string error;
  if (!ds::OpenDirectory(path, &directory, &error) || !write(*directory, out, &error)) {
    err << error << "\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int RunDirectoryTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(args, Commands(), kCommandLineRules, &line, &error)) {
    err << "tessary-directory: " << error << "\nTry 'tessary-directory --help'.\n";
    return kExitFailure;
  }
  if (line.help) {
    out << kUsage;
    return kExitOk;
  }
  const std::string path =
      line.directory.empty() ? ds::embedded::DefaultDirectoryPath() : line.directory;
  if (line.command == "provision") return Provision(line, path, out, err);
  if (line.command == "load") return Load(line, path, out, err);
  if (line.command == "dump") return Dump(line, path, out, err);
  if (line.command == "classes") return Report(path, WriteClassNames, out, err);
  if (line.command == "attributes") return Report(path, WriteAttributeNames, out, err);
  return Report(path, WriteDirectoryInfo, out, err);
}

}  // namespace tessary::tools
