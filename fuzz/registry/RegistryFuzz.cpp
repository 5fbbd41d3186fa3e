// Arbitrary bytes as a hive file (anyone may edit one). The whole tree is walked through the
// registry's interface: every key opened, every value read by its type. Then one value is
// written, and the registry object's going writes the hive whole; walking it again must find
// everything that was there before, unchanged, beside the new value. A hive file that could not
// be read in full is kept beside the new one.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "fuzz/support/FuzzInput.h"
#include "fuzz/support/FuzzRegistryDir.h"
#include "platform/registry/Limits.h"
#include "platform/registry/Registry.h"

namespace {

using Fuzz::Fail;

// Every value of the hive by "key path|value name", as "type:data".
using TTree = std::map<std::string, std::string>;

std::string LowerAscii(std::string S) {
    for (char& C : S)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return S;
}

void Walk(const std::string& Path, size_t Depth, TTree& Tree) {
    TRegistry Registry;
    if (!Registry.OpenKeyReadOnly("\\" + Path)) Fail("a listed key cannot be opened: " + Path);
    // Names compare without regard to case: the tree is keyed the same way.
    Tree[LowerAscii(Path) + "\\"] = "key";
    for (const std::string& Name : Registry.GetValueNames()) {
        std::string Entry;
        switch (Registry.GetDataType(Name)) {
            case rdInteger:
                Entry = "dword:" + std::to_string(Registry.ReadInteger(Name));
                break;
            case rdString:
            case rdExpandString:
                Entry = "string:" + Registry.ReadString(Name);
                break;
            case rdBinary:
                Entry = "binary:" + Registry.ReadBinary(Name);
                break;
            default:
                Fail("a listed value has no type: " + Name);
        }
        Tree[LowerAscii(Path) + "|" + LowerAscii(Name)] = Entry;
    }
    if (Depth >= RegistryLimits::kMaxKeyDepth) return;
    for (const std::string& Name : Registry.GetKeyNames()) {
        // A name with a path separator cannot be named by a path; the file format allows it.
        if (Name.find('\\') != std::string::npos) continue;
        Walk(Path.empty() ? Name : Path + "\\" + Name, Depth + 1, Tree);
    }
}

const std::string& Dir() {
    return FuzzRegistryDir::Path("registry");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    FuzzRegistryDir::Clear(Dir());
    const std::string Hive = TRegistry::HiveFileName(HKEY_CURRENT_USER);
    {
        std::ofstream Out(Hive, std::ios::binary);
        Out.write(reinterpret_cast<const char*>(Data), std::streamsize(Size));
    }
    TTree Before;
    Walk("", 0, Before);

    const std::string Written(reinterpret_cast<const char*>(Data), std::min<size_t>(Size, 64));
    {
        TRegistry Registry;
        if (!Registry.OpenKey("\\Fuzz\\Written", true)) Fail("a key cannot be created");
        Registry.WriteString("Value", Written);
        if (Registry.ReadString("Value") != Written) Fail("a string written reads back changed");
    }
    TTree After;
    Walk("", 0, After);
    Before["fuzz\\"] = "key";
    Before["fuzz\\written\\"] = "key";
    Before["fuzz\\written|value"] = "string:" + Written;
    if (After != Before) Fail("writing one value changed the rest of the hive");
    const std::string Kept = Hive + ".damaged";
    if (std::filesystem::exists(Kept)) {
        std::ifstream In(Kept, std::ios::binary);
        const std::string Old((std::istreambuf_iterator<char>(In)),
                              std::istreambuf_iterator<char>());
        if (Old != std::string(reinterpret_cast<const char*>(Data), Size))
            Fail("the damaged hive was not kept as it was");
    }
    return 0;
}
