#pragma once
// Stand-ins for the mail client's automation objects, registered in the test and demo prefix only:
// Outlook.Application (GetNamespace("MAPI") -> Logon, GetItemFromID), its items (Display, SaveAs)
// and Redemption.SafeMailItem (Item, SaveAs(path, 3) writes a message file; the setting
// MailSaveFails = 1 makes it fail as a full disk or a locked store would).
// The items live in the outlook_items table of the stand-in suite's database.
#include <string>

#include "automation/object.h"
#include "record.h"

namespace mail {

using tesra::CallArgs;
using tesra::MemberTable;
using tesra::Variant;

struct MailData {
    std::wstring entryId, subject, body, messageClass;
};

// Writes an Outlook message file: an OLE compound file with the subject, body and message class
// as Unicode property streams and the top-level property stream. Raises on failure.
void writeMessageFile(const std::wstring& path, const MailData& item);

class Application final : public tesra::SuiteObject {
protected:
    const MemberTable& members() const override;
};

class SafeMailItem final : public tesra::SuiteObject {
protected:
    const MemberTable& members() const override;

private:
    qb::automation::Object item_;
};

}  // namespace mail
