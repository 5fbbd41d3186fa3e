#include "platform/forms/FormDefinitions.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/classes/Classes.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Filer.h"
#include "platform/forms/Limits.h"

namespace {

std::string Upper(std::string Text) {
    for (char& C : Text)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Text;
}

std::optional<std::string> ReadResource(const QString& Path) {
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly) || File.size() > qint64(FormsLimits::kMaxDefinitionSize))
        return std::nullopt;
    const QByteArray Bytes = File.readAll();
    return std::string(Bytes.constData(), size_t(Bytes.size()));
}

// Upper-case class name -> resource path, built on first use: the resources do not change while
// the program runs. Files whose header cannot be read are left out (reading them by path still
// gives their error).
const std::map<std::string, QString>& ResourceIndex() {
    static const std::map<std::string, QString> Index = [] {
        std::map<std::string, QString> Found;
        // The suffix is compared here: a name filter would compile a regular expression.
        QDirIterator It(QStringLiteral(":/forms"), QDir::Files, QDirIterator::Subdirectories);
        std::vector<QString> Paths;
        while (It.hasNext()) {
            QString Path = It.next();
            if (Path.endsWith(QLatin1String(".dfm"), Qt::CaseInsensitive))
                Paths.push_back(std::move(Path));
        }
        std::sort(Paths.begin(), Paths.end());
        for (const QString& Path : Paths) {
            const std::optional<std::string> Text = ReadResource(Path);
            if (!Text) continue;
            if (std::optional<std::string> ClassName = FormTextClassName(*Text))
                Found.emplace(Upper(*ClassName), Path);
        }
        return Found;
    }();
    return Index;
}

}  // namespace

std::optional<TFormDefinition> FindFormDefinition(const std::string& ClassName) {
    const auto& Index = ResourceIndex();
    auto It = Index.find(Upper(ClassName));
    if (It == Index.end()) return std::nullopt;
    std::optional<std::string> Text = ReadResource(It->second);
    if (!Text) return std::nullopt;
    return TFormDefinition{std::move(*Text), It->second.toStdString()};
}

bool InitInheritedComponent(TComponent* Instance) {
    const TInstance Inst = InstanceOf(Instance);
    if (!Inst) return false;
    std::vector<const TClassInfo*> Chain;
    for (const TClassInfo* Info = Inst.Info; Info != nullptr; Info = Info->Parent)
        Chain.push_back(Info);
    // Kept alive while the reader works: the levels point into them.
    std::vector<TFormDefinition> Texts;
    std::vector<TFormObject> Trees;
    Texts.reserve(Chain.size());
    Trees.reserve(Chain.size());
    bool OwnFound = false;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It) {
        std::optional<TFormDefinition> Definition = FindFormDefinition((*It)->Name);
        if (!Definition) continue;
        OwnFound = *It == Inst.Info;
        Trees.push_back(ParseFormText(Definition->Text, Definition->Origin));
        Texts.push_back(std::move(*Definition));
    }
    if (Trees.empty()) return false;
    std::vector<TDefinitionLevel> Levels;
    for (size_t I = 0; I < Trees.size(); ++I) Levels.push_back({&Trees[I], Texts[I].Origin});
    TReader Reader(std::move(Levels));
    Reader.ReadRootComponent(Instance);
    if (OwnFound) Instance->SetDefinitionText(Texts.back().Text);
    return true;
}

TComponent* ReadComponentResFile(const std::string& FileName, TComponent* Instance) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t Size = Stream.Size();
    if (Size < 0 || std::uint64_t(Size) > FormsLimits::kMaxDefinitionSize)
        throw EParserError(
            "Definition larger than " + std::to_string(FormsLimits::kMaxDefinitionSize) + " bytes",
            {}, FileName);
    std::string Text(size_t(Size), '\0');
    Stream.ReadBuffer(Text.data(), Size);
    return ReadComponentFromText(Text, Instance, FileName);
}
