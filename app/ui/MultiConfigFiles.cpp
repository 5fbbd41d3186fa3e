#include "app/ui/MultiConfigFiles.h"

#include "app/engine/ConfigFile.h"
#include "netlib/base/IpUtils.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"

namespace {

TConfigRow RowOf(const std::string& FileName) {
    const auto Box = TConfigFile::CreateFromFile(FileName);
    const std::string Name = ExtractFileName(FileName);
    TConfigRow Row{Name.substr(0, Name.find('.')), "XP", FileName, 1};
    const bool Client = !Box->ReadValue("client-mode").empty();
    if (Client) Row.ImageIndex = 0;
    if (LowerAscii(ExtractFileExt(FileName)) == ".cfg")
        Row.Type = "Kestro";
    else if (Client)
        Row.Type = "OpenXP";
    else if (!Box->ReadValue("xpscoreaktiv").empty())
        Row.Type = "XP2";
    return Row;
}

}  // namespace

std::vector<TConfigRow> ListConfigRows(const std::string& Dir) {
    std::vector<TConfigRow> Rows;
    const std::string Path = IncludeTrailingPathDelimiter(Dir);
    for (const char* Pattern : {"*.cfg", "*.bfg"})
        for (const std::string& Name : FindFiles(Path, Pattern)) {
            try {
                Rows.push_back(RowOf(Path + Name));
            } catch (const Exception&) {
                // A file that cannot be read could not be started either.
            }
        }
    return Rows;
}
