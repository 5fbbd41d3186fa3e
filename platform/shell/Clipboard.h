#pragma once
// The clipboard: text and data in formats of the program's own, shaped like the class library's
// Clipboard object.
//
// Text is the program's Windows-1252 bytes with CR LF line ends; it becomes Unicode with the
// desktop's LF line ends only where it leaves for the desktop (and back), by the one code-page
// table of the painting layer. Custom formats hold bytes as they are, under a name registered
// with RegisterClipboardFormat.
//
// The clipboard behind it is a service: the desktop's (Qt's clipboard) when a QGuiApplication
// exists, else one kept in the process; tests install their own.
#include <memory>
#include <string>

#include "platform/classes/WinTypes.h"

inline constexpr UINT CF_TEXT = 1;

// What the program's formats are kept in: text as UTF-8, custom formats as bytes under their
// names.
class TClipboardService {
  public:
    virtual ~TClipboardService() = default;
    virtual bool HasText() = 0;
    virtual std::string TextUtf8() = 0;
    virtual void SetTextUtf8(const std::string& Text) = 0;
    virtual bool HasData(const std::string& FormatName) = 0;
    virtual std::string Data(const std::string& FormatName) = 0;
    // Replaces the clipboard's content with the data in this one format.
    virtual void SetData(const std::string& FormatName, const std::string& Bytes) = 0;
    virtual void Clear() = 0;
};

// Kept in the process: what tests and console tools use.
class TMemoryClipboardService : public TClipboardService {
  public:
    bool HasText() override { return FHasText; }
    std::string TextUtf8() override { return FText; }
    void SetTextUtf8(const std::string& Text) override;
    bool HasData(const std::string& FormatName) override;
    std::string Data(const std::string& FormatName) override;
    void SetData(const std::string& FormatName, const std::string& Bytes) override;
    void Clear() override;

  private:
    bool FHasText = false;
    std::string FText;
    std::string FFormat;
    std::string FData;
};

// The id of a custom format (0xC000 upward, the same for the same name, compared without regard
// to ASCII case); 0 for an empty or too long name or when too many are registered.
UINT RegisterClipboardFormat(const std::string& Name);

class TClipboard {
  public:
    // The text as Windows-1252 bytes (characters the code page lacks become '?'); empty when
    // the clipboard holds no text.
    std::string AsText();
    void SetAsText(const std::string& Bytes);
    bool HasFormat(UINT Format);
    // The bytes of a custom format; empty when the clipboard holds none.
    std::string GetData(UINT Format);
    // Puts the bytes on the clipboard in that format (CF_TEXT: as text). False for an unknown
    // format.
    bool SetData(UINT Format, const std::string& Bytes);
    void Clear();
};

// The program's clipboard.
TClipboard& Clipboard();
// Installs the service behind it (none: back to the default); returns the previous one.
std::unique_ptr<TClipboardService> SetClipboardService(std::unique_ptr<TClipboardService> Service);
