#pragma once
// Reader of "STR0" string tables: binary resources holding UTF-16LE texts by id.
#include <cstdint>
#include <span>
#include <string>

#include "platform/classes/Exception.h"
#include "resources/ResourceData.h"

class ETpsStringResourceError : public Exception {
  public:
    using Exception::Exception;
};

// Ids of the reader's own messages in "STSRMGR_STRINGS".
enum : int32_t {
    SStringNotFound = 1,         // "String not found: %d"
    SCannotLockResource = 2,     // "Cannot lock resource"
    SResourceNotFound = 3,       // "String resource not found: %s"
    SCannotOpenResource = 4,     // "Unable to open string resource: %s"
    SInvalidStringResource = 5,  // "Invalid string resource"
};

class TSsStringResource {
  public:
    // Opens the named table from instance, else from the program's own resources (instance may
    // be null). An empty name leaves the reader without a table. Raises ETpsStringResourceError
    // when the table is missing or not a "STR0" table.
    TSsStringResource(const TResourceModule* instance, const std::string& resourceName);
    ~TSsStringResource();
    TSsStringResource(const TSsStringResource&) = delete;
    TSsStringResource& operator=(const TSsStringResource&) = delete;

    // Closes the current table and opens the named one unless the name is empty.
    void SelectResource(const TResourceModule* instance, const std::string& resourceName);
    // The text converted to Windows-1252 (characters outside it become "?"); empty when the id is
    // absent, unless ReportMissing is set, which raises instead.
    std::string GetText(int32_t id);

    bool ReportMissing() const { return FReportMissing; }
    void SetReportMissing(bool value) { FReportMissing = value; }
    const std::string& ResourceName() const { return FResourceName; }

  private:
    void OpenResource(const TResourceModule* instance);
    void CloseResource();
    void LockResource();
    void UnlockResource() { FData = {}; }

    bool FReportMissing = false;
    std::string FResourceName;
    std::span<const uint8_t> FResource;  // the loaded table; empty when none
    std::span<const uint8_t> FData;      // set only while a lookup runs
};

// The process-wide readers: the reader's own messages ("STSRMGR_STRINGS") and the shell
// components' texts ("SHELLSHOCK_STRINGS_ENGLISH").
TSsStringResource& StringResourceManagerStrings();
TSsStringResource& ShellStrings();
