#include "guide/file_descriptors.h"

#include <initializer_list>
#include <optional>
#include <string>

#include "guide/records.h"
#include "runtime/value_types.h"

namespace tentaria::guide {
namespace {

using runtime::TypeCode;
using storage::FieldDescriptor;
using storage::KeyDescriptor;
using namespace storage::file_attribute;
using namespace storage::key_attribute;

// Attribute sets of the guide's files.  A file declared per thread gives
// each thread its own record buffer and open count.
constexpr uint32_t kEncryptedPerThread = ENCRYPT | CREATE | RECLAIM | THREAD;
constexpr uint32_t kEncryptedShared = ENCRYPT | CREATE | RECLAIM;
// A key without DUP: every value once; without NOCASE it compares exactly.
constexpr uint32_t kUnique = 0;

FieldDescriptor Field(TypeCode type, std::string label, size_t offset, size_t size) {
  FieldDescriptor field;
  field.type = runtime::ToInt(type);
  field.label = std::move(label);
  field.offset = static_cast<uint16_t>(offset);
  field.size = static_cast<uint16_t>(size);
  return field;
}

FieldDescriptor Decimal(std::string label, size_t offset, size_t size, uint8_t decimals) {
  FieldDescriptor field = Field(TypeCode::DECIMAL, std::move(label), offset, size);
  field.digits = static_cast<uint8_t>(runtime::DecimalDigitCount(static_cast<int>(size)));
  field.decimals = decimals;
  return field;
}

FieldDescriptor String(std::string label, size_t offset, size_t size, std::string picture = {}) {
  FieldDescriptor field = Field(TypeCode::STRING, std::move(label), offset, size);
  field.string_length = static_cast<uint16_t>(size);
  field.picture = std::move(picture);
  return field;
}

FieldDescriptor Byte(std::string label, size_t offset, size_t size) {
  return Field(TypeCode::BYTE, std::move(label), offset, size);
}

// BYTE, DIM(n): one flag byte per answer box.
FieldDescriptor Bytes(std::string label, size_t offset, size_t size) {
  FieldDescriptor field = Field(TypeCode::BYTE, std::move(label), offset, size);
  field.dimensions = {static_cast<uint16_t>(size)};
  return field;
}

// A key over fields named by their labels, all ascending.  A label that
// names no field gives a component past the last field, which the
// declaration's validation refuses.
KeyDescriptor Key(const storage::FileDescriptor& file, std::string label, uint32_t attributes,
                  std::initializer_list<std::string_view> fields) {
  KeyDescriptor key;
  key.label = std::move(label);
  key.attributes = attributes;
  for (std::string_view name : fields) {
    size_t number = FieldNumber(file, name).value_or(file.layout.fields.size());
    key.components.push_back({static_cast<uint16_t>(number), 0});
  }
  return key;
}

// A field of record type R: its label is the file's prefix and the
// member's name; its offset and size are the member's.
#define GUIDE_FIELD(R, prefix, kind, member, ...) \
  kind(prefix ":" #member, offsetof(R, member), sizeof(R::member) __VA_OPT__(, ) __VA_ARGS__)

storage::FileDescriptor GezNAWFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezNAWRecord, "GNAW", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GNAW";
  file.name = "GezNAW.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezNAWRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0), FIELD(String, NAAMCAMP), FIELD(String, STRAATCAMP),
      FIELD(String, POSTCODE),   FIELD(String, PLAATS),   FIELD(String, PROVINCIE),
      FIELD(String, LAND),       FIELD(String, STREEK),   FIELD(String, TELEFOON),
      FIELD(String, FAX),        FIELD(String, URL),      FIELD(String, EMAIL),
      FIELD(String, TAAL),       FIELD(String, FOTO),     FIELD(String, INFO),
      FIELD(String, ADVER),
  };
#undef FIELD
  file.keys = {
      Key(file, "GNAW:BY_NUMMER", kUnique, {"GNAW:NUMMER"}),
      Key(file, "GNAW:BY_NAAM", DUP | NOCASE, {"GNAW:NAAMCAMP", "GNAW:PLAATS"}),
      Key(file, "GNAW:BY_PLAATS", DUP | NOCASE, {"GNAW:PLAATS", "GNAW:NAAMCAMP"}),
      Key(file, "GNAW:BY_STREEK", DUP | OPT | NOCASE, {"GNAW:STREEK", "GNAW:NAAMCAMP"}),
      Key(file, "GNAW:BY_POSTCODE", DUP | OPT | NOCASE, {"GNAW:POSTCODE", "GNAW:NAAMCAMP"}),
  };
  return file;
}

storage::FileDescriptor GezFACFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezFACRecord, "GFAC", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GFAC";
  file.name = "GezFAC.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezFACRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0),
      FIELD(String, LIDVAN),
      FIELD(Decimal, PLAATSENVAST, 0),
      FIELD(Decimal, PLAATSENTOER, 0),
      FIELD(String, STERREN),
      FIELD(String, CATEGORIE),
      FIELD(String, BODEMSOORT),
      FIELD(String, LIGGING),
      FIELD(Bytes, WIND),
      FIELD(Bytes, AFGEBAKEND),
      FIELD(Bytes, JEUGDVELD),
      FIELD(Bytes, TREKVELD),
      FIELD(Bytes, WEGEN),
      FIELD(Bytes, VERLICHT),
      FIELD(Bytes, AUTOVRIJ),
      FIELD(Bytes, SANUNIT),
      FIELD(Bytes, WATERTAP),
      FIELD(Bytes, ELECTRA),
      FIELD(Bytes, KABELTV),
      FIELD(Bytes, RIOLERING),
      FIELD(Bytes, CHEMISCHTOIL),
      FIELD(Bytes, WASMACHINE),
      FIELD(Bytes, CENTRIFUGE),
      FIELD(Bytes, AFWASKOUD),
      FIELD(Bytes, CAMPGAS),
      FIELD(String, GASSOORT),
      FIELD(Bytes, TELCEL),
      FIELD(String, TELSOORT),
      FIELD(Bytes, EHBO),
      FIELD(Bytes, RESTAURANT),
      FIELD(Decimal, RESTAURANTKM, 1),
      FIELD(Bytes, KANTINE),
      FIELD(Bytes, CAFE),
      FIELD(Decimal, CAFEKM, 1),
      FIELD(Bytes, TVRUIMTE),
      FIELD(Bytes, FITNES),
      FIELD(Decimal, FITNESKM, 1),
      FIELD(Bytes, BOWLING),
      FIELD(Decimal, BOWLINGKM, 1),
      FIELD(Bytes, TAFELTEN),
      FIELD(Bytes, MIDGETGOLF),
      FIELD(Decimal, MIDGETGOLFKM, 1),
      FIELD(Bytes, SPORTVELD),
      FIELD(String, ANDERSSPORT),
      FIELD(Bytes, JEUGDHONK),
      FIELD(Bytes, KINDERBOER),
      FIELD(Bytes, ODZWEMBAD),
      FIELD(Decimal, ODZWEMBADKM, 1),
      FIELD(Bytes, OLZWEMBAD),
      FIELD(Decimal, OLZWEMBADKM, 1),
      FIELD(Bytes, ODKINDBAD),
      FIELD(Decimal, ODKINDBADKM, 1),
      FIELD(Bytes, OLKINDBADW),
      FIELD(Decimal, OLKINDBADWKM, 1),
      FIELD(Bytes, OLKINDBAD),
      FIELD(Decimal, OLKINDBADKM, 1),
      FIELD(Bytes, OPENLBADW),
      FIELD(Decimal, OPENLBADWKM, 1),
      FIELD(Bytes, SPORTVISSEN),
      FIELD(Decimal, SPORTVISKM, 1),
      FIELD(Bytes, KANO),
      FIELD(Decimal, KANOKM, 1),
      FIELD(Bytes, STEIGER),
      FIELD(Decimal, STEIGERKM, 1),
      FIELD(Bytes, BOOTHEL),
      FIELD(Decimal, BOOTHELKM, 1),
      FIELD(Bytes, SCHAATS),
      FIELD(Decimal, SCHAATSKM, 1),
      FIELD(Bytes, PAARDRIJL),
      FIELD(Decimal, PAARDRIJLKM, 1),
      FIELD(Bytes, PAARDSTAL),
      FIELD(Decimal, PAARDSTALKM, 1),
      FIELD(Bytes, HUURTV),
      FIELD(Bytes, HUURFIETS),
      FIELD(Decimal, HUURFIETSKM, 1),
      FIELD(Bytes, HUURMOUNT),
      FIELD(Decimal, HUURMOUNTKM, 1),
      FIELD(Bytes, HUURBOTEN),
      FIELD(Decimal, HUURBOTENKM, 1),
      FIELD(Bytes, HUURWATFIETS),
      FIELD(Decimal, HWATFIETSKM, 1),
      FIELD(Bytes, HUURSURF),
      FIELD(Decimal, HUURSURFKM, 1),
      FIELD(Bytes, HUURSKI),
      FIELD(Decimal, HUURSKIKM, 1),
      FIELD(Bytes, WANDELROUTE),
      FIELD(Bytes, FIETSROUTE),
      FIELD(Bytes, RUITERROUTE),
      FIELD(Decimal, AFSTANDDORP, 1),
      FIELD(Decimal, AFSTANDSTAD, 1),
      FIELD(Decimal, AFSTANDBUS, 1),
      FIELD(Decimal, AFSTANDTREIN, 1),
  };
#undef FIELD
  file.keys = {
      Key(file, "GFAC:BY_NUMMER", NOCASE, {"GFAC:NUMMER"}),
  };
  return file;
}

storage::FileDescriptor GezSELFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezSELRecord, "GSEL", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GSEL";
  file.name = "GezSEL.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezSELRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0),
      FIELD(Bytes, WINTEROPEN),
      FIELD(Bytes, JONGEREN),
      FIELD(Bytes, HUISDIEREN),
      FIELD(Bytes, BABYKAMER),
      FIELD(Bytes, SANITAIR),
      FIELD(Bytes, WINKEL),
      FIELD(Bytes, CAMPERPLAATS),
      FIELD(Bytes, AUTOBIJTENT),
      FIELD(Bytes, DROOGTROMMEL),
      FIELD(Bytes, AFWASWARM),
      FIELD(Bytes, KOOKGELEGENH),
      FIELD(Bytes, SNACKBAR),
      FIELD(Decimal, SNACKBARKM, 1),
      FIELD(Bytes, TENNIS),
      FIELD(Decimal, TENNISKM, 1),
      FIELD(Bytes, KAMPVUUR),
      FIELD(Bytes, DISCOTHEEK),
      FIELD(Decimal, DISCOTHEEKKM, 1),
      FIELD(Bytes, RECREATIE),
      FIELD(Bytes, SPEELTOESTEL),
      FIELD(Bytes, OPENLBAD),
      FIELD(Decimal, OPENLBADKM, 1),
      FIELD(Bytes, OVERDBAD),
      FIELD(Decimal, OVERDBADKM, 1),
      FIELD(Bytes, AANWATER),
      FIELD(Decimal, AANWATERKM, 1),
      FIELD(Bytes, NATWATER),
      FIELD(Decimal, NATWATERKM, 1),
      FIELD(Bytes, STRAND),
      FIELD(Decimal, STRANDKM, 1),
      FIELD(Bytes, VISGELEGENHE),
      FIELD(Decimal, VISGELEGENKM, 1),
      FIELD(Bytes, WINDSURF),
      FIELD(Decimal, WINDSURFKM, 1),
      FIELD(Bytes, JACHTHAVEN),
      FIELD(Decimal, JACHTHAVENKM, 1),
      FIELD(Bytes, SKIPISTE),
      FIELD(Decimal, SKIPISTEKM, 1),
      FIELD(Bytes, LANGLAUF),
      FIELD(Decimal, LANGLAUFKM, 1),
      FIELD(Bytes, BOS),
      FIELD(Decimal, BOSKM, 1),
      FIELD(Bytes, MANEGE),
      FIELD(Decimal, MANEGEKM, 1),
      FIELD(Bytes, TREKKERSHUTT),
      FIELD(Bytes, HUURTOER),
      FIELD(Bytes, HUURSTACAR),
      FIELD(Bytes, HUURVAKWON),
      FIELD(Bytes, HUURGROEP),
  };
#undef FIELD
  file.keys = {
      Key(file, "GSEL:BY_NUMMER", NOCASE, {"GSEL:NUMMER"}),
  };
  return file;
}

storage::FileDescriptor GezINFOFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezINFORecord, "GINF", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GINF";
  file.name = "GezINFO.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezINFORecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0),
  };
#undef FIELD
  file.keys = {
      Key(file, "GINF:BY_NUMMER", DUP | NOCASE, {"GINF:NUMMER"}),
  };
  file.memos = {{"GINF:TEXTVELD", "", kInformationTextSize, 0}};
  return file;
}

storage::FileDescriptor PROVINCIFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(PROVINCIRecord, "PRO", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "PRO";
  file.name = "PROVINCI.TVN";
  file.attributes = RECLAIM;
  file.layout.record_size = sizeof(PROVINCIRecord);
  file.layout.fields = {
      FIELD(String, PROVINCIE),
  };
#undef FIELD
  file.keys = {
      Key(file, "PRO:BY_PROVINCIE", NOCASE, {"PRO:PROVINCIE"}),
  };
  return file;
}

storage::FileDescriptor GezPRIJZFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezPRIJZRecord, "GPRI", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GPRI";
  file.name = "GezPRIJZ.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezPRIJZRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0),
      FIELD(String, VOLWASSENEN),
      FIELD(String, KINDVAN),
      FIELD(String, KINDTOT),
      FIELD(String, KIND),
      FIELD(String, TENT),
      FIELD(String, CARAVAN),
      FIELD(String, CAMPER),
      FIELD(String, TENEXTRA),
      FIELD(String, AUTO),
      FIELD(String, MOTOR),
      FIELD(String, TREKKERS),
      FIELD(String, HUISDIER),
      FIELD(String, DOUCHE),
      FIELD(String, ELEKTRAPRIJS),
      FIELD(String, ALLIN),
      FIELD(String, PERSONEN),
      FIELD(String, ZWEMBAD),
      FIELD(String, BORG),
      FIELD(String, RESERVERING),
      FIELD(String, TOERISTENBEL),
      FIELD(String, TOERISTENBELPLAATS),
      FIELD(String, PRIJZENGELDI),
      FIELD(Bytes, ARRANGEMENT),
      FIELD(Bytes, PINCODE),
      FIELD(String, SEIZOEN),
      FIELD(String, SEIZPERIODE),
      FIELD(Bytes, PERIODEALLIN),
      FIELD(String, VOORSEIZOEN),
      FIELD(String, VOORPERIODE),
      FIELD(Bytes, VOORPERIODEALLIN),
      FIELD(String, NASEIZOEN),
      FIELD(String, NAPERIODE),
      FIELD(Bytes, NAPERIODEALLIN),
      FIELD(Bytes, ANVERZ),
      FIELD(String, GULDENSFRANKEN),
      FIELD(Bytes, ACCOMHEELJAAR),
  };
#undef FIELD
  file.keys = {
      Key(file, "GPRI:BY_NUMMER", NOCASE, {"GPRI:NUMMER"}),
  };
  return file;
}

storage::FileDescriptor GEZFOTOFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GEZFOTORecord, "GFOT", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GFOT";
  file.name = "GEZFOTO";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedShared;
  file.layout.record_size = sizeof(GEZFOTORecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0), FIELD(String, FOTO1), FIELD(String, FOTO2),
      FIELD(Byte, AANTALFOTOS),  FIELD(String, LOGO),  FIELD(String, ADVER),
  };
#undef FIELD
  file.keys = {
      Key(file, "GFOT:BY_NUMMER", DUP | OPT | NOCASE, {"GFOT:NUMMER"}),
  };
  return file;
}

storage::FileDescriptor SelectieFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(SelectieRecord, "SEL", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "SEL";
  file.name = "C:\\OKV\\TA2000\\Selectie.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(SelectieRecord);
  file.layout.fields = {
      FIELD(Byte, NUMMER),
      FIELD(String, EIGNAAM),
      FIELD(String, EIGADRES),
      FIELD(String, EIGPCODE),
      FIELD(String, EIGPLAATS),
      FIELD(String, EIGTEL),
      FIELD(String, EIGLAND),
      FIELD(Byte, EIGVOLWASSENEN),
      FIELD(Byte, EIGKINDEREN),
      FIELD(Byte, EIGHUISDIER),
      FIELD(Byte, EIGELECTRA),
      FIELD(String, EIGKAMPEERMIDDEL),
      FIELD(Byte, EIGBIJZETTENTJE),
      FIELD(Byte, EIGBIJZETTENTJES),
      FIELD(String, EIGPERIODEVAN, "D5"),
      FIELD(String, EIGPERIODETOT, "D5"),
      FIELD(String, LAND),
      FIELD(String, PROVINCIE),
      FIELD(String, WINTEROPEN),
      FIELD(String, AANWATER),
      FIELD(Decimal, AANWATERKM, 1),
      FIELD(String, AUTOBIJTENT),
      FIELD(String, CAMPERPLAATS),
      FIELD(String, JONGEREN),
      FIELD(String, HUISDIEREN),
      FIELD(String, BABYKAMER),
      FIELD(String, SANITAIR),
      FIELD(String, DROOGTROMMEL),
      FIELD(String, KOOKGELEGENH),
      FIELD(String, AFWASWARM),
      FIELD(String, WINKEL),
      FIELD(String, KAMPVUUR),
      FIELD(String, SPEELTOESTEL),
      FIELD(String, RECREATIE),
      FIELD(String, SNACKBAR),
      FIELD(Decimal, SNACKBARKM, 1),
      FIELD(String, DISCOTHEEK),
      FIELD(Decimal, DISCOTHEEKKM, 1),
      FIELD(String, TENNIS),
      FIELD(Decimal, TENNISKM, 1),
      FIELD(String, OPENLBAD),
      FIELD(Decimal, OPENLBADKM, 1),
      FIELD(String, OVERDBAD),
      FIELD(Decimal, OVERDBADKM, 1),
      FIELD(String, NATWATER),
      FIELD(Decimal, NATWATERKM, 1),
      FIELD(String, STRAND),
      FIELD(Decimal, STRANDKM, 1),
      FIELD(String, VISGELEGENHE),
      FIELD(Decimal, VISGELEGENKM, 1),
      FIELD(String, WINDSURF),
      FIELD(Decimal, WINDSURFKM, 1),
      FIELD(String, JACHTHAVEN),
      FIELD(Decimal, JACHTHAVENKM, 1),
      FIELD(String, SKIPISTE),
      FIELD(Decimal, SKIPISTEKM, 1),
      FIELD(String, LANGLAUF),
      FIELD(Decimal, LANGLAUFKM, 1),
      FIELD(String, MANEGE),
      FIELD(Decimal, MANEGEKM, 1),
      FIELD(String, BOS),
      FIELD(Decimal, BOSKM, 1),
      FIELD(String, TREKKERSHUTT),
      FIELD(String, HUURTOER),
      FIELD(String, HUURSTACAR),
      FIELD(String, HUURVAKWON),
      FIELD(String, HUURGROEP),
  };
#undef FIELD
  file.keys = {
      Key(file, "SEL:BY_NUMMER", OPT | NOCASE, {"SEL:NUMMER"}),
  };
  return file;
}

storage::FileDescriptor GezvondeFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(GezvondeRecord, "GVD", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "GVD";
  file.name = "C:\\OKV\\TA2000\\Gezvonde.TVN";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedPerThread;
  file.layout.record_size = sizeof(GezvondeRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 0), FIELD(String, NAAMCAMP), FIELD(String, PLAATS),
      FIELD(String, PROVINCIE),  FIELD(String, LAND),     FIELD(String, STREEK),
      FIELD(String, FOTO),       FIELD(String, INFO),     FIELD(String, ADVER),
  };
#undef FIELD
  file.keys = {
      Key(file, "GVD:BY_NUMMER", kUnique, {"GVD:NUMMER"}),
      Key(file, "GVD:BY_NAAM", DUP | NOCASE, {"GVD:NAAMCAMP", "GVD:PLAATS"}),
      Key(file, "GVD:BY_PLAATS", DUP | NOCASE, {"GVD:PLAATS", "GVD:NAAMCAMP"}),
      Key(file, "GVD:BY_STREEK", DUP | OPT | NOCASE, {"GVD:STREEK", "GVD:NAAMCAMP"}),
  };
  return file;
}

storage::FileDescriptor TagFileFile() {
#define FIELD(kind, member, ...) \
  GUIDE_FIELD(TagFileRecord, "TAG", kind, member __VA_OPT__(, ) __VA_ARGS__)
  storage::FileDescriptor file;
  file.prefix = "TAG";
  file.name = "C:\\OKV\\TA2000\\TagFile.tvn";
  file.owner_password = std::string(kOwnerPassword);
  file.attributes = kEncryptedShared;
  file.layout.record_size = sizeof(TagFileRecord);
  file.layout.fields = {
      FIELD(Decimal, NUMMER, 2), FIELD(String, NAAMCAMP), FIELD(String, FOTO),
      FIELD(String, INFO),       FIELD(String, ADVER),
  };
#undef FIELD
  file.keys = {
      Key(file, "TAG:BY_NUMMER", OPT | NOCASE, {"TAG:NUMMER"}),
      Key(file, "TAG:BY_NAAM", DUP | OPT | NOCASE, {"TAG:NAAMCAMP"}),
  };
  return file;
}
#undef GUIDE_FIELD

}  // namespace

std::optional<size_t> FieldNumber(const storage::FileDescriptor& file, std::string_view label) {
  for (size_t i = 0; i < file.layout.fields.size(); ++i) {
    if (file.layout.fields[i].label == label) return i;
  }
  return std::nullopt;
}

std::optional<size_t> KeyNumber(const storage::FileDescriptor& file, std::string_view label) {
  for (size_t i = 0; i < file.keys.size(); ++i) {
    if (file.keys[i].label == label) return i;
  }
  return std::nullopt;
}

const storage::FileDescriptor& Descriptor(GuideFile file) {
  static const std::array<storage::FileDescriptor, kGuideFileCount> descriptors = {
      GezNAWFile(),   GezFACFile(),  GezSELFile(),   GezINFOFile(),  PROVINCIFile(),
      GezPRIJZFile(), GEZFOTOFile(), SelectieFile(), GezvondeFile(), TagFileFile(),
  };
  return descriptors[static_cast<size_t>(file)];
}

}  // namespace tentaria::guide
