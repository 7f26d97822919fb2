#include "framework/error_messages.h"

namespace tentaria::framework {
namespace {

constexpr size_t kMaxShortText = 255;

void AppendU16(std::string* out, uint16_t value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8));
}

void AppendShortText(std::string* out, std::string_view text) {
  out->push_back(static_cast<char>(text.size()));
  out->append(text);
}

// Reads the block front to back; every read checks the bytes left.
class BlockReader {
 public:
  explicit BlockReader(std::string_view block) : rest_(block) {}

  bool U16(uint16_t* value) {
    if (rest_.size() < 2) return false;
    *value =
        static_cast<uint16_t>(static_cast<uint8_t>(rest_[0]) | static_cast<uint8_t>(rest_[1]) << 8);
    rest_.remove_prefix(2);
    return true;
  }
  bool Byte(uint8_t* value) {
    if (rest_.empty()) return false;
    *value = static_cast<uint8_t>(rest_[0]);
    rest_.remove_prefix(1);
    return true;
  }
  bool ShortText(std::string* text) {
    uint8_t length = 0;
    if (!Byte(&length) || rest_.size() < length) return false;
    text->assign(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return true;
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

}  // namespace

Status PackMessages(const std::vector<ErrorEntry>& entries, std::string* block) {
  if (entries.size() > 0xFFFF) return Status::Error(1, "too many messages for one block");
  std::string packed;
  AppendU16(&packed, static_cast<uint16_t>(entries.size()));
  for (const ErrorEntry& entry : entries) {
    if (entry.TITLE.size() > kMaxShortText || entry.MESSAGE.size() > kMaxShortText) {
      return Status::Error(1, "message " + std::to_string(entry.ID) +
                                  " has a title or text longer than 255 characters");
    }
    AppendU16(&packed, entry.ID);
    packed.push_back(static_cast<char>(entry.FATALITY));
    AppendShortText(&packed, entry.TITLE);
    AppendShortText(&packed, entry.MESSAGE);
  }
  *block = std::move(packed);
  return Status::Ok();
}

Status UnpackMessages(std::string_view block, std::vector<ErrorEntry>* entries) {
  BlockReader reader(block);
  uint16_t count = 0;
  if (!reader.U16(&count)) return Status::Error(1, "the message block has no count");
  std::vector<ErrorEntry> read(count);
  for (uint16_t i = 0; i < count; ++i) {
    ErrorEntry& entry = read[i];
    if (!reader.U16(&entry.ID) || !reader.Byte(&entry.FATALITY) ||
        !reader.ShortText(&entry.TITLE) || !reader.ShortText(&entry.MESSAGE)) {
      return Status::Error(1, "the message block is cut short in entry " + std::to_string(i + 1));
    }
  }
  if (!reader.AtEnd()) return Status::Error(1, "the message block has bytes after its last entry");
  *entries = std::move(read);
  return Status::Ok();
}

const std::string& DefaultErrors() {
  static const std::string block = [] {
    // Grouped by what they concern; lookup is by number, so the order only
    // matters between entries of the same number (there are none).
    const std::vector<ErrorEntry> entries = {
        // Opening and creating files.
        {23, "File (%File) could not be opened.  Error: %ErrorText.", "File Access Error",
         SeverityFatal},
        {2, "Could not get write access to %File so trying read-only.", "Access Denied",
         SeverityNotify},
        {10, "Error: (%ErrorText) creating %File.", "File Creation Error", SeverityFatal},
        {19, "%File File Load Error.  Error: %ErrorText.", "File Load Error", SeverityNotify},
        {26, "Error: (%ErrorText) repairing key for %File.", "Key was not built", SeverityFatal},
        {27, "%File key file is invalid. Key must be rebuilt.", "Invalid Key", SeverityNotify},
        {39, "Attempt to use file (%File) before it was opened", "File Usage Error",
         SeverityProgram},
        {40,
         "Error: (%ErrorText) attempting to open the current VIEW. Filter and Range Limits "
         "ignored.",
         "View Open Error", SeverityNotify},
        // Reading.
        {1,
         "Error: (%ErrorText) attempting to access a record from the %File file.  Returning to "
         "previous window.",
         "Record Retrieval Error", SeverityNotify},
        {28, "A record held by another station was encountered reading from the %File file.",
         "Record not read", SeverityNotify},
        {22, "There are no records available to process.", "No Records", SeverityNotify},
        {36,
         "The beginning of the file was encountered. Do you want to start again from the end of "
         "the file?",
         "Beginning of File Error", SeverityConfirm},
        {37, "The end of the file was encountered. Do you want to start again from the beginning?",
         "End of File Error", SeverityConfirm},
        // Adding.
        {3, "This record has been added to the file. Do you want to add another record?",
         "Record Added", SeverityConfirm},
        {4, "An error was experienced during the creation of a record. Error: %ErrorText.",
         "Record Insert Error", SeverityNotify},
        {5, "Record match not found, do you wish to add a new one?", "Add New Record?",
         SeverityNotify},
        {13, "Adding this record creates a duplicate entry for the key: %Message",
         "Duplicate Key Error", SeverityNotify},
        {20, "This form cannot be used to insert a record", "Invalid Request", SeverityNotify},
        {32,
         "Attempts to automatically number this record have failed.  Error: %ErrorText. Try "
         "Again?",
         "Auto Increment Error", SeverityConfirm},
        // Changing.
        {6, "This record was changed by another station.", "Record Was Not Updated",
         SeverityNotify},
        {7,
         "This record was changed by another station. Those changes will now be displayed. Use "
         "the Ditto Button or Ctrl+' to recall your changes.",
         "Record Was Not Updated", SeverityNotify},
        {25, "An error (%ErrorText) was experienced when making changes to the %File file.",
         "Record was not updated", SeverityNotify},
        {34, "An error was experienced changing this record. Do you want to try to save again?",
         "Record Update Error", SeverityConfirm},
        {35, "Do you want to save the changes to this record?", "Save Record", SeverityConfirm},
        {38, "This form cannot be used to update a record", "Invalid Request", SeverityNotify},
        {8, "Are you sure you want to cancel?", "Changes will be lost!", SeverityConfirm},
        // Deleting.
        {9, "Are you sure you want to delete the highlighted record?", "Confirm Delete",
         SeverityConfirm},
        {11, "An error (%ErrorText) was experienced when deleting a record from the %File file.",
         "Record was not deleted", SeverityNotify},
        {12, "This form cannot be used to delete a record", "Invalid Request", SeverityNotify},
        {33,
         "An error was experienced deleting this record. Do you want to try to delete it again?",
         "Record Delete Error", SeverityConfirm},
        // Relations and transactions.
        {21, "Error: (%ErrorText) attempting to frame the transaction on %File.",
         "Transaction cancelled", SeverityNotify},
        {30,
         "This record is referenced from the file %File. This record cannot be deleted while "
         "these references exist.",
         "Referential Integrity Delete Error", SeverityNotify},
        {31,
         "This record is referenced from the file %File. Linking field(s) have been restricted "
         "from change and have been reset to original values.",
         "Referential Integrity Update Error", SeverityNotify},
        // Field checks.
        {14, "The value of %Field must be found in the %Message file.", "Field contents error",
         SeverityNotify},
        {15, "The value of %Field must be in the list : %Message.", "Value Error", SeverityNotify},
        {16, "The value of %Field must be between %Message.", "Range Error", SeverityNotify},
        {17, "The value of %Field must be lower than %Message.", "Range Error", SeverityNotify},
        {18, "The value of %Field must be higher than %Message.", "Range Error", SeverityNotify},
        // Procedures.
        {24, "The Procedure %Message has not been defined.", "Procedure not defined",
         SeverityNotify},
    };
    std::string packed;
    // The texts above all fit their length bytes; a test packs them too.
    (void)PackMessages(entries, &packed);
    return packed;
  }();
  return block;
}

}  // namespace tentaria::framework
