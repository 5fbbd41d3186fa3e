#pragma once
// The control units' message table, their exception and the international settings.
#include <cstdint>
#include <string>

#include "platform/classes/Exception.h"

class EOvcException : public Exception {
  public:
    using Exception::Exception;
};

// Ids of the control-unit messages the system uses.
enum : int32_t {
    SCInvalidXMLFile = 30220,        // "Invalid XMLStore File Format"
    SCBadTerminatedElement = 30221,  // "Improperly terminated element"
    SCOnlyOnForms = 30337,           // "This component can only be used on forms"
    SCYes = 30368,
    SCNo = 30369,
    SCTrue = 30370,
    SCFalse = 30371,
};

// Text of the control-unit message table; empty when absent. Only the low 16 bits of id count.
std::string LookupOvcString(int32_t id);
// That text, or "Unknown" when it is empty.
std::string OvcStringOrUnknown(int32_t id);

// International settings of the control units. Nothing in the system reads them beyond their
// defaults, so they are fixed values rather than read from a locale.
class TOvcIntlSup {
  public:
    TOvcIntlSup();
    char DecimalChar = '.';
    char CommaChar = ',';
    char ListChar = ',';
    char SlashChar = '/';
    std::string AMString = "AM";
    std::string PMString = "PM";
    std::string ShortDatePicture = "MM/dd/yy";
    std::string LongDatePicture = "dddd, MMMM dd, yyyy";
    char TrueChar = 'T';
    char FalseChar = 'F';
    char YesChar = 'Y';
    char NoChar = 'N';
};

// The process-wide settings, built on first use.
const TOvcIntlSup& OvcIntlSup();
