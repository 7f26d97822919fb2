// The record buffers of the guide's ten files, as the storage engine keeps
// each record: fields one after another without gaps.  Every member is a
// byte array, so the structs have no padding; the static_asserts hold each
// field to its offset in the record image.  Column two of each comment is
// the offset, column three the declared type:
//   DECIMAL(d,p)  packed decimal of d digits, p decimal places, sign in
//                 the first byte's high nibble (runtime/decimal.h)
//   STRING(n)     n bytes, blank-padded, Windows-1252
//   BYTE          one byte; BYTE, DIM(n): n of them, one flag per answer
//                 box of a facility
// Fields whose names end in KM hold a distance in kilometres.
#ifndef TENTARIA_GUIDE_RECORDS_H_
#define TENTARIA_GUIDE_RECORDS_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/error_placeholders.h"

namespace tentaria::guide {

// GezNAW (prefix GNAW): a campsite's name, address and presence flags.
struct GezNAWRecord {
  uint8_t NUMMER[3];    //   0  DECIMAL(5,0)
  char NAAMCAMP[33];    //   3  STRING(33)
  char STRAATCAMP[25];  //  36  STRING(25)
  char POSTCODE[7];     //  61  STRING(7)
  char PLAATS[20];      //  68  STRING(20)
  char PROVINCIE[15];   //  88  STRING(15)
  char LAND[10];        // 103  STRING(10)
  char STREEK[20];      // 113  STRING(20)
  char TELEFOON[12];    // 133  STRING(12)
  char FAX[12];         // 145  STRING(12)
  char URL[50];         // 157  STRING(50)
  char EMAIL[50];       // 207  STRING(50)
  char TAAL[1];         // 257  STRING(1)
  char FOTO[1];         // 258  STRING(1)
  char INFO[1];         // 259  STRING(1)
  char ADVER[1];        // 260  STRING(1)
};
static_assert(sizeof(GezNAWRecord) == 261);
static_assert(offsetof(GezNAWRecord, NUMMER) == 0);
static_assert(offsetof(GezNAWRecord, NAAMCAMP) == 3);
static_assert(offsetof(GezNAWRecord, STRAATCAMP) == 36);
static_assert(offsetof(GezNAWRecord, POSTCODE) == 61);
static_assert(offsetof(GezNAWRecord, PLAATS) == 68);
static_assert(offsetof(GezNAWRecord, PROVINCIE) == 88);
static_assert(offsetof(GezNAWRecord, LAND) == 103);
static_assert(offsetof(GezNAWRecord, STREEK) == 113);
static_assert(offsetof(GezNAWRecord, TELEFOON) == 133);
static_assert(offsetof(GezNAWRecord, FAX) == 145);
static_assert(offsetof(GezNAWRecord, URL) == 157);
static_assert(offsetof(GezNAWRecord, EMAIL) == 207);
static_assert(offsetof(GezNAWRecord, TAAL) == 257);
static_assert(offsetof(GezNAWRecord, FOTO) == 258);
static_assert(offsetof(GezNAWRecord, INFO) == 259);
static_assert(offsetof(GezNAWRecord, ADVER) == 260);

// GezFAC (prefix GFAC): a campsite's facilities.
struct GezFACRecord {
  uint8_t NUMMER[3];        //   0  DECIMAL(5,0)
  char LIDVAN[15];          //   3  STRING(15)
  uint8_t PLAATSENVAST[3];  //  18  DECIMAL(5,0)
  uint8_t PLAATSENTOER[3];  //  21  DECIMAL(5,0)
  char STERREN[5];          //  24  STRING(5)
  char CATEGORIE[3];        //  29  STRING(3)
  char BODEMSOORT[15];      //  32  STRING(15)
  char LIGGING[15];         //  47  STRING(15)
  uint8_t WIND[3];          //  62  BYTE, DIM(3)
  uint8_t AFGEBAKEND[3];    //  65  BYTE, DIM(3)
  uint8_t JEUGDVELD[2];     //  68  BYTE, DIM(2)
  uint8_t TREKVELD[2];      //  70  BYTE, DIM(2)
  uint8_t WEGEN[3];         //  72  BYTE, DIM(3)
  uint8_t VERLICHT[3];      //  75  BYTE, DIM(3)
  uint8_t AUTOVRIJ[3];      //  78  BYTE, DIM(3)
  uint8_t SANUNIT[3];       //  81  BYTE, DIM(3)
  uint8_t WATERTAP[3];      //  84  BYTE, DIM(3)
  uint8_t ELECTRA[3];       //  87  BYTE, DIM(3)
  uint8_t KABELTV[3];       //  90  BYTE, DIM(3)
  uint8_t RIOLERING[3];     //  93  BYTE, DIM(3)
  uint8_t CHEMISCHTOIL[2];  //  96  BYTE, DIM(2)
  uint8_t WASMACHINE[2];    //  98  BYTE, DIM(2)
  uint8_t CENTRIFUGE[2];    // 100  BYTE, DIM(2)
  uint8_t AFWASKOUD[2];     // 102  BYTE, DIM(2)
  uint8_t CAMPGAS[2];       // 104  BYTE, DIM(2)
  char GASSOORT[15];        // 106  STRING(15)
  uint8_t TELCEL[2];        // 121  BYTE, DIM(2)
  char TELSOORT[15];        // 123  STRING(15)
  uint8_t EHBO[2];          // 138  BYTE, DIM(2)
  uint8_t RESTAURANT[2];    // 140  BYTE, DIM(2)
  uint8_t RESTAURANTKM[3];  // 142  DECIMAL(5,1)
  uint8_t KANTINE[2];       // 145  BYTE, DIM(2)
  uint8_t CAFE[2];          // 147  BYTE, DIM(2)
  uint8_t CAFEKM[3];        // 149  DECIMAL(5,1)
  uint8_t TVRUIMTE[2];      // 152  BYTE, DIM(2)
  uint8_t FITNES[3];        // 154  BYTE, DIM(3)
  uint8_t FITNESKM[3];      // 157  DECIMAL(5,1)
  uint8_t BOWLING[2];       // 160  BYTE, DIM(2)
  uint8_t BOWLINGKM[3];     // 162  DECIMAL(5,1)
  uint8_t TAFELTEN[2];      // 165  BYTE, DIM(2)
  uint8_t MIDGETGOLF[2];    // 167  BYTE, DIM(2)
  uint8_t MIDGETGOLFKM[3];  // 169  DECIMAL(5,1)
  uint8_t SPORTVELD[2];     // 172  BYTE, DIM(2)
  char ANDERSSPORT[15];     // 174  STRING(15)
  uint8_t JEUGDHONK[2];     // 189  BYTE, DIM(2)
  uint8_t KINDERBOER[3];    // 191  BYTE, DIM(3)
  uint8_t ODZWEMBAD[2];     // 194  BYTE, DIM(2)
  uint8_t ODZWEMBADKM[3];   // 196  DECIMAL(5,1)
  uint8_t OLZWEMBAD[2];     // 199  BYTE, DIM(2)
  uint8_t OLZWEMBADKM[3];   // 201  DECIMAL(5,1)
  uint8_t ODKINDBAD[2];     // 204  BYTE, DIM(2)
  uint8_t ODKINDBADKM[3];   // 206  DECIMAL(5,1)
  uint8_t OLKINDBADW[2];    // 209  BYTE, DIM(2)
  uint8_t OLKINDBADWKM[3];  // 211  DECIMAL(5,1)
  uint8_t OLKINDBAD[2];     // 214  BYTE, DIM(2)
  uint8_t OLKINDBADKM[3];   // 216  DECIMAL(5,1)
  uint8_t OPENLBADW[2];     // 219  BYTE, DIM(2)
  uint8_t OPENLBADWKM[3];   // 221  DECIMAL(5,1)
  uint8_t SPORTVISSEN[2];   // 224  BYTE, DIM(2)
  uint8_t SPORTVISKM[3];    // 226  DECIMAL(5,1)
  uint8_t KANO[2];          // 229  BYTE, DIM(2)
  uint8_t KANOKM[3];        // 231  DECIMAL(5,1)
  uint8_t STEIGER[2];       // 234  BYTE, DIM(2)
  uint8_t STEIGERKM[3];     // 236  DECIMAL(5,1)
  uint8_t BOOTHEL[2];       // 239  BYTE, DIM(2)
  uint8_t BOOTHELKM[3];     // 241  DECIMAL(5,1)
  uint8_t SCHAATS[2];       // 244  BYTE, DIM(2)
  uint8_t SCHAATSKM[3];     // 246  DECIMAL(5,1)
  uint8_t PAARDRIJL[2];     // 249  BYTE, DIM(2)
  uint8_t PAARDRIJLKM[3];   // 251  DECIMAL(5,1)
  uint8_t PAARDSTAL[2];     // 254  BYTE, DIM(2)
  uint8_t PAARDSTALKM[3];   // 256  DECIMAL(5,1)
  uint8_t HUURTV[2];        // 259  BYTE, DIM(2)
  uint8_t HUURFIETS[2];     // 261  BYTE, DIM(2)
  uint8_t HUURFIETSKM[3];   // 263  DECIMAL(5,1)
  uint8_t HUURMOUNT[2];     // 266  BYTE, DIM(2)
  uint8_t HUURMOUNTKM[3];   // 268  DECIMAL(5,1)
  uint8_t HUURBOTEN[2];     // 271  BYTE, DIM(2)
  uint8_t HUURBOTENKM[3];   // 273  DECIMAL(5,1)
  uint8_t HUURWATFIETS[2];  // 276  BYTE, DIM(2)
  uint8_t HWATFIETSKM[3];   // 278  DECIMAL(5,1)
  uint8_t HUURSURF[2];      // 281  BYTE, DIM(2)
  uint8_t HUURSURFKM[3];    // 283  DECIMAL(5,1)
  uint8_t HUURSKI[2];       // 286  BYTE, DIM(2)
  uint8_t HUURSKIKM[3];     // 288  DECIMAL(5,1)
  uint8_t WANDELROUTE[2];   // 291  BYTE, DIM(2)
  uint8_t FIETSROUTE[2];    // 293  BYTE, DIM(2)
  uint8_t RUITERROUTE[2];   // 295  BYTE, DIM(2)
  uint8_t AFSTANDDORP[3];   // 297  DECIMAL(5,1)
  uint8_t AFSTANDSTAD[3];   // 300  DECIMAL(5,1)
  uint8_t AFSTANDBUS[3];    // 303  DECIMAL(5,1)
  uint8_t AFSTANDTREIN[3];  // 306  DECIMAL(5,1)
};
static_assert(sizeof(GezFACRecord) == 309);
static_assert(offsetof(GezFACRecord, NUMMER) == 0);
static_assert(offsetof(GezFACRecord, LIDVAN) == 3);
static_assert(offsetof(GezFACRecord, PLAATSENVAST) == 18);
static_assert(offsetof(GezFACRecord, PLAATSENTOER) == 21);
static_assert(offsetof(GezFACRecord, STERREN) == 24);
static_assert(offsetof(GezFACRecord, CATEGORIE) == 29);
static_assert(offsetof(GezFACRecord, BODEMSOORT) == 32);
static_assert(offsetof(GezFACRecord, LIGGING) == 47);
static_assert(offsetof(GezFACRecord, WIND) == 62);
static_assert(offsetof(GezFACRecord, AFGEBAKEND) == 65);
static_assert(offsetof(GezFACRecord, JEUGDVELD) == 68);
static_assert(offsetof(GezFACRecord, TREKVELD) == 70);
static_assert(offsetof(GezFACRecord, WEGEN) == 72);
static_assert(offsetof(GezFACRecord, VERLICHT) == 75);
static_assert(offsetof(GezFACRecord, AUTOVRIJ) == 78);
static_assert(offsetof(GezFACRecord, SANUNIT) == 81);
static_assert(offsetof(GezFACRecord, WATERTAP) == 84);
static_assert(offsetof(GezFACRecord, ELECTRA) == 87);
static_assert(offsetof(GezFACRecord, KABELTV) == 90);
static_assert(offsetof(GezFACRecord, RIOLERING) == 93);
static_assert(offsetof(GezFACRecord, CHEMISCHTOIL) == 96);
static_assert(offsetof(GezFACRecord, WASMACHINE) == 98);
static_assert(offsetof(GezFACRecord, CENTRIFUGE) == 100);
static_assert(offsetof(GezFACRecord, AFWASKOUD) == 102);
static_assert(offsetof(GezFACRecord, CAMPGAS) == 104);
static_assert(offsetof(GezFACRecord, GASSOORT) == 106);
static_assert(offsetof(GezFACRecord, TELCEL) == 121);
static_assert(offsetof(GezFACRecord, TELSOORT) == 123);
static_assert(offsetof(GezFACRecord, EHBO) == 138);
static_assert(offsetof(GezFACRecord, RESTAURANT) == 140);
static_assert(offsetof(GezFACRecord, RESTAURANTKM) == 142);
static_assert(offsetof(GezFACRecord, KANTINE) == 145);
static_assert(offsetof(GezFACRecord, CAFE) == 147);
static_assert(offsetof(GezFACRecord, CAFEKM) == 149);
static_assert(offsetof(GezFACRecord, TVRUIMTE) == 152);
static_assert(offsetof(GezFACRecord, FITNES) == 154);
static_assert(offsetof(GezFACRecord, FITNESKM) == 157);
static_assert(offsetof(GezFACRecord, BOWLING) == 160);
static_assert(offsetof(GezFACRecord, BOWLINGKM) == 162);
static_assert(offsetof(GezFACRecord, TAFELTEN) == 165);
static_assert(offsetof(GezFACRecord, MIDGETGOLF) == 167);
static_assert(offsetof(GezFACRecord, MIDGETGOLFKM) == 169);
static_assert(offsetof(GezFACRecord, SPORTVELD) == 172);
static_assert(offsetof(GezFACRecord, ANDERSSPORT) == 174);
static_assert(offsetof(GezFACRecord, JEUGDHONK) == 189);
static_assert(offsetof(GezFACRecord, KINDERBOER) == 191);
static_assert(offsetof(GezFACRecord, ODZWEMBAD) == 194);
static_assert(offsetof(GezFACRecord, ODZWEMBADKM) == 196);
static_assert(offsetof(GezFACRecord, OLZWEMBAD) == 199);
static_assert(offsetof(GezFACRecord, OLZWEMBADKM) == 201);
static_assert(offsetof(GezFACRecord, ODKINDBAD) == 204);
static_assert(offsetof(GezFACRecord, ODKINDBADKM) == 206);
static_assert(offsetof(GezFACRecord, OLKINDBADW) == 209);
static_assert(offsetof(GezFACRecord, OLKINDBADWKM) == 211);
static_assert(offsetof(GezFACRecord, OLKINDBAD) == 214);
static_assert(offsetof(GezFACRecord, OLKINDBADKM) == 216);
static_assert(offsetof(GezFACRecord, OPENLBADW) == 219);
static_assert(offsetof(GezFACRecord, OPENLBADWKM) == 221);
static_assert(offsetof(GezFACRecord, SPORTVISSEN) == 224);
static_assert(offsetof(GezFACRecord, SPORTVISKM) == 226);
static_assert(offsetof(GezFACRecord, KANO) == 229);
static_assert(offsetof(GezFACRecord, KANOKM) == 231);
static_assert(offsetof(GezFACRecord, STEIGER) == 234);
static_assert(offsetof(GezFACRecord, STEIGERKM) == 236);
static_assert(offsetof(GezFACRecord, BOOTHEL) == 239);
static_assert(offsetof(GezFACRecord, BOOTHELKM) == 241);
static_assert(offsetof(GezFACRecord, SCHAATS) == 244);
static_assert(offsetof(GezFACRecord, SCHAATSKM) == 246);
static_assert(offsetof(GezFACRecord, PAARDRIJL) == 249);
static_assert(offsetof(GezFACRecord, PAARDRIJLKM) == 251);
static_assert(offsetof(GezFACRecord, PAARDSTAL) == 254);
static_assert(offsetof(GezFACRecord, PAARDSTALKM) == 256);
static_assert(offsetof(GezFACRecord, HUURTV) == 259);
static_assert(offsetof(GezFACRecord, HUURFIETS) == 261);
static_assert(offsetof(GezFACRecord, HUURFIETSKM) == 263);
static_assert(offsetof(GezFACRecord, HUURMOUNT) == 266);
static_assert(offsetof(GezFACRecord, HUURMOUNTKM) == 268);
static_assert(offsetof(GezFACRecord, HUURBOTEN) == 271);
static_assert(offsetof(GezFACRecord, HUURBOTENKM) == 273);
static_assert(offsetof(GezFACRecord, HUURWATFIETS) == 276);
static_assert(offsetof(GezFACRecord, HWATFIETSKM) == 278);
static_assert(offsetof(GezFACRecord, HUURSURF) == 281);
static_assert(offsetof(GezFACRecord, HUURSURFKM) == 283);
static_assert(offsetof(GezFACRecord, HUURSKI) == 286);
static_assert(offsetof(GezFACRecord, HUURSKIKM) == 288);
static_assert(offsetof(GezFACRecord, WANDELROUTE) == 291);
static_assert(offsetof(GezFACRecord, FIETSROUTE) == 293);
static_assert(offsetof(GezFACRecord, RUITERROUTE) == 295);
static_assert(offsetof(GezFACRecord, AFSTANDDORP) == 297);
static_assert(offsetof(GezFACRecord, AFSTANDSTAD) == 300);
static_assert(offsetof(GezFACRecord, AFSTANDBUS) == 303);
static_assert(offsetof(GezFACRecord, AFSTANDTREIN) == 306);

// GezSEL (prefix GSEL): a campsite's selection criteria, as the search compares them.
struct GezSELRecord {
  uint8_t NUMMER[3];        //   0  DECIMAL(5,0)
  uint8_t WINTEROPEN[2];    //   3  BYTE, DIM(2)
  uint8_t JONGEREN[3];      //   5  BYTE, DIM(3)
  uint8_t HUISDIEREN[3];    //   8  BYTE, DIM(3)
  uint8_t BABYKAMER[3];     //  11  BYTE, DIM(3)
  uint8_t SANITAIR[3];      //  14  BYTE, DIM(3)
  uint8_t WINKEL[3];        //  17  BYTE, DIM(3)
  uint8_t CAMPERPLAATS[2];  //  20  BYTE, DIM(2)
  uint8_t AUTOBIJTENT[3];   //  22  BYTE, DIM(3)
  uint8_t DROOGTROMMEL[2];  //  25  BYTE, DIM(2)
  uint8_t AFWASWARM[2];     //  27  BYTE, DIM(2)
  uint8_t KOOKGELEGENH[2];  //  29  BYTE, DIM(2)
  uint8_t SNACKBAR[2];      //  31  BYTE, DIM(2)
  uint8_t SNACKBARKM[3];    //  33  DECIMAL(5,1)
  uint8_t TENNIS[2];        //  36  BYTE, DIM(2)
  uint8_t TENNISKM[3];      //  38  DECIMAL(5,1)
  uint8_t KAMPVUUR[2];      //  41  BYTE, DIM(2)
  uint8_t DISCOTHEEK[2];    //  43  BYTE, DIM(2)
  uint8_t DISCOTHEEKKM[3];  //  45  DECIMAL(5,1)
  uint8_t RECREATIE[2];     //  48  BYTE, DIM(2)
  uint8_t SPEELTOESTEL[2];  //  50  BYTE, DIM(2)
  uint8_t OPENLBAD[2];      //  52  BYTE, DIM(2)
  uint8_t OPENLBADKM[3];    //  54  DECIMAL(5,1)
  uint8_t OVERDBAD[2];      //  57  BYTE, DIM(2)
  uint8_t OVERDBADKM[3];    //  59  DECIMAL(5,1)
  uint8_t AANWATER[2];      //  62  BYTE, DIM(2)
  uint8_t AANWATERKM[3];    //  64  DECIMAL(5,1)
  uint8_t NATWATER[2];      //  67  BYTE, DIM(2)
  uint8_t NATWATERKM[3];    //  69  DECIMAL(5,1)
  uint8_t STRAND[2];        //  72  BYTE, DIM(2)
  uint8_t STRANDKM[3];      //  74  DECIMAL(5,1)
  uint8_t VISGELEGENHE[2];  //  77  BYTE, DIM(2)
  uint8_t VISGELEGENKM[3];  //  79  DECIMAL(5,1)
  uint8_t WINDSURF[2];      //  82  BYTE, DIM(2)
  uint8_t WINDSURFKM[3];    //  84  DECIMAL(5,1)
  uint8_t JACHTHAVEN[2];    //  87  BYTE, DIM(2)
  uint8_t JACHTHAVENKM[3];  //  89  DECIMAL(5,1)
  uint8_t SKIPISTE[2];      //  92  BYTE, DIM(2)
  uint8_t SKIPISTEKM[3];    //  94  DECIMAL(5,1)
  uint8_t LANGLAUF[2];      //  97  BYTE, DIM(2)
  uint8_t LANGLAUFKM[3];    //  99  DECIMAL(5,1)
  uint8_t BOS[2];           // 102  BYTE, DIM(2)
  uint8_t BOSKM[3];         // 104  DECIMAL(5,1)
  uint8_t MANEGE[2];        // 107  BYTE, DIM(2)
  uint8_t MANEGEKM[3];      // 109  DECIMAL(5,1)
  uint8_t TREKKERSHUTT[2];  // 112  BYTE, DIM(2)
  uint8_t HUURTOER[2];      // 114  BYTE, DIM(2)
  uint8_t HUURSTACAR[2];    // 116  BYTE, DIM(2)
  uint8_t HUURVAKWON[2];    // 118  BYTE, DIM(2)
  uint8_t HUURGROEP[2];     // 120  BYTE, DIM(2)
};
static_assert(sizeof(GezSELRecord) == 122);
static_assert(offsetof(GezSELRecord, NUMMER) == 0);
static_assert(offsetof(GezSELRecord, WINTEROPEN) == 3);
static_assert(offsetof(GezSELRecord, JONGEREN) == 5);
static_assert(offsetof(GezSELRecord, HUISDIEREN) == 8);
static_assert(offsetof(GezSELRecord, BABYKAMER) == 11);
static_assert(offsetof(GezSELRecord, SANITAIR) == 14);
static_assert(offsetof(GezSELRecord, WINKEL) == 17);
static_assert(offsetof(GezSELRecord, CAMPERPLAATS) == 20);
static_assert(offsetof(GezSELRecord, AUTOBIJTENT) == 22);
static_assert(offsetof(GezSELRecord, DROOGTROMMEL) == 25);
static_assert(offsetof(GezSELRecord, AFWASWARM) == 27);
static_assert(offsetof(GezSELRecord, KOOKGELEGENH) == 29);
static_assert(offsetof(GezSELRecord, SNACKBAR) == 31);
static_assert(offsetof(GezSELRecord, SNACKBARKM) == 33);
static_assert(offsetof(GezSELRecord, TENNIS) == 36);
static_assert(offsetof(GezSELRecord, TENNISKM) == 38);
static_assert(offsetof(GezSELRecord, KAMPVUUR) == 41);
static_assert(offsetof(GezSELRecord, DISCOTHEEK) == 43);
static_assert(offsetof(GezSELRecord, DISCOTHEEKKM) == 45);
static_assert(offsetof(GezSELRecord, RECREATIE) == 48);
static_assert(offsetof(GezSELRecord, SPEELTOESTEL) == 50);
static_assert(offsetof(GezSELRecord, OPENLBAD) == 52);
static_assert(offsetof(GezSELRecord, OPENLBADKM) == 54);
static_assert(offsetof(GezSELRecord, OVERDBAD) == 57);
static_assert(offsetof(GezSELRecord, OVERDBADKM) == 59);
static_assert(offsetof(GezSELRecord, AANWATER) == 62);
static_assert(offsetof(GezSELRecord, AANWATERKM) == 64);
static_assert(offsetof(GezSELRecord, NATWATER) == 67);
static_assert(offsetof(GezSELRecord, NATWATERKM) == 69);
static_assert(offsetof(GezSELRecord, STRAND) == 72);
static_assert(offsetof(GezSELRecord, STRANDKM) == 74);
static_assert(offsetof(GezSELRecord, VISGELEGENHE) == 77);
static_assert(offsetof(GezSELRecord, VISGELEGENKM) == 79);
static_assert(offsetof(GezSELRecord, WINDSURF) == 82);
static_assert(offsetof(GezSELRecord, WINDSURFKM) == 84);
static_assert(offsetof(GezSELRecord, JACHTHAVEN) == 87);
static_assert(offsetof(GezSELRecord, JACHTHAVENKM) == 89);
static_assert(offsetof(GezSELRecord, SKIPISTE) == 92);
static_assert(offsetof(GezSELRecord, SKIPISTEKM) == 94);
static_assert(offsetof(GezSELRecord, LANGLAUF) == 97);
static_assert(offsetof(GezSELRecord, LANGLAUFKM) == 99);
static_assert(offsetof(GezSELRecord, BOS) == 102);
static_assert(offsetof(GezSELRecord, BOSKM) == 104);
static_assert(offsetof(GezSELRecord, MANEGE) == 107);
static_assert(offsetof(GezSELRecord, MANEGEKM) == 109);
static_assert(offsetof(GezSELRecord, TREKKERSHUTT) == 112);
static_assert(offsetof(GezSELRecord, HUURTOER) == 114);
static_assert(offsetof(GezSELRecord, HUURSTACAR) == 116);
static_assert(offsetof(GezSELRecord, HUURVAKWON) == 118);
static_assert(offsetof(GezSELRecord, HUURGROEP) == 120);

// GezINFO (prefix GINF): a campsite's information text (the memo GINF:TEXTVELD).
struct GezINFORecord {
  uint8_t NUMMER[3];  //   0  DECIMAL(5,0)
};
static_assert(sizeof(GezINFORecord) == 3);
static_assert(offsetof(GezINFORecord, NUMMER) == 0);

// PROVINCI (prefix PRO): a province name.
struct PROVINCIRecord {
  char PROVINCIE[15];  //   0  STRING(15)
};
static_assert(sizeof(PROVINCIRecord) == 15);
static_assert(offsetof(PROVINCIRecord, PROVINCIE) == 0);

// GezPRIJZ (prefix GPRI): a campsite's prices and seasons.
struct GezPRIJZRecord {
  uint8_t NUMMER[3];            //   0  DECIMAL(5,0)
  char VOLWASSENEN[6];          //   3  STRING(6)
  char KINDVAN[2];              //   9  STRING(2)
  char KINDTOT[2];              //  11  STRING(2)
  char KIND[6];                 //  13  STRING(6)
  char TENT[6];                 //  19  STRING(6)
  char CARAVAN[6];              //  25  STRING(6)
  char CAMPER[6];               //  31  STRING(6)
  char TENEXTRA[6];             //  37  STRING(6)
  char AUTO[6];                 //  43  STRING(6)
  char MOTOR[6];                //  49  STRING(6)
  char TREKKERS[6];             //  55  STRING(6)
  char HUISDIER[6];             //  61  STRING(6)
  char DOUCHE[6];               //  67  STRING(6)
  char ELEKTRAPRIJS[6];         //  73  STRING(6)
  char ALLIN[6];                //  79  STRING(6)
  char PERSONEN[2];             //  85  STRING(2)
  char ZWEMBAD[6];              //  87  STRING(6)
  char BORG[6];                 //  93  STRING(6)
  char RESERVERING[6];          //  99  STRING(6)
  char TOERISTENBEL[6];         // 105  STRING(6)
  char TOERISTENBELPLAATS[6];   // 111  STRING(6)
  char PRIJZENGELDI[4];         // 117  STRING(4)
  uint8_t ARRANGEMENT[2];       // 121  BYTE, DIM(2)
  uint8_t PINCODE[2];           // 123  BYTE, DIM(2)
  char SEIZOEN[10];             // 125  STRING(10)
  char SEIZPERIODE[30];         // 135  STRING(30)
  uint8_t PERIODEALLIN[3];      // 165  BYTE, DIM(3)
  char VOORSEIZOEN[10];         // 168  STRING(10)
  char VOORPERIODE[30];         // 178  STRING(30)
  uint8_t VOORPERIODEALLIN[3];  // 208  BYTE, DIM(3)
  char NASEIZOEN[10];           // 211  STRING(10)
  char NAPERIODE[30];           // 221  STRING(30)
  uint8_t NAPERIODEALLIN[3];    // 251  BYTE, DIM(3)
  uint8_t ANVERZ[2];            // 254  BYTE, DIM(2)
  char GULDENSFRANKEN[20];      // 256  STRING(20)
  uint8_t ACCOMHEELJAAR[3];     // 276  BYTE, DIM(3)
};
static_assert(sizeof(GezPRIJZRecord) == 279);
static_assert(offsetof(GezPRIJZRecord, NUMMER) == 0);
static_assert(offsetof(GezPRIJZRecord, VOLWASSENEN) == 3);
static_assert(offsetof(GezPRIJZRecord, KINDVAN) == 9);
static_assert(offsetof(GezPRIJZRecord, KINDTOT) == 11);
static_assert(offsetof(GezPRIJZRecord, KIND) == 13);
static_assert(offsetof(GezPRIJZRecord, TENT) == 19);
static_assert(offsetof(GezPRIJZRecord, CARAVAN) == 25);
static_assert(offsetof(GezPRIJZRecord, CAMPER) == 31);
static_assert(offsetof(GezPRIJZRecord, TENEXTRA) == 37);
static_assert(offsetof(GezPRIJZRecord, AUTO) == 43);
static_assert(offsetof(GezPRIJZRecord, MOTOR) == 49);
static_assert(offsetof(GezPRIJZRecord, TREKKERS) == 55);
static_assert(offsetof(GezPRIJZRecord, HUISDIER) == 61);
static_assert(offsetof(GezPRIJZRecord, DOUCHE) == 67);
static_assert(offsetof(GezPRIJZRecord, ELEKTRAPRIJS) == 73);
static_assert(offsetof(GezPRIJZRecord, ALLIN) == 79);
static_assert(offsetof(GezPRIJZRecord, PERSONEN) == 85);
static_assert(offsetof(GezPRIJZRecord, ZWEMBAD) == 87);
static_assert(offsetof(GezPRIJZRecord, BORG) == 93);
static_assert(offsetof(GezPRIJZRecord, RESERVERING) == 99);
static_assert(offsetof(GezPRIJZRecord, TOERISTENBEL) == 105);
static_assert(offsetof(GezPRIJZRecord, TOERISTENBELPLAATS) == 111);
static_assert(offsetof(GezPRIJZRecord, PRIJZENGELDI) == 117);
static_assert(offsetof(GezPRIJZRecord, ARRANGEMENT) == 121);
static_assert(offsetof(GezPRIJZRecord, PINCODE) == 123);
static_assert(offsetof(GezPRIJZRecord, SEIZOEN) == 125);
static_assert(offsetof(GezPRIJZRecord, SEIZPERIODE) == 135);
static_assert(offsetof(GezPRIJZRecord, PERIODEALLIN) == 165);
static_assert(offsetof(GezPRIJZRecord, VOORSEIZOEN) == 168);
static_assert(offsetof(GezPRIJZRecord, VOORPERIODE) == 178);
static_assert(offsetof(GezPRIJZRecord, VOORPERIODEALLIN) == 208);
static_assert(offsetof(GezPRIJZRecord, NASEIZOEN) == 211);
static_assert(offsetof(GezPRIJZRecord, NAPERIODE) == 221);
static_assert(offsetof(GezPRIJZRecord, NAPERIODEALLIN) == 251);
static_assert(offsetof(GezPRIJZRecord, ANVERZ) == 254);
static_assert(offsetof(GezPRIJZRecord, GULDENSFRANKEN) == 256);
static_assert(offsetof(GezPRIJZRecord, ACCOMHEELJAAR) == 276);

// Selectie (prefix SEL): the user's wishes and personal data (one record, number 1).
struct SelectieRecord {
  uint8_t NUMMER;             //   0  BYTE
  char EIGNAAM[40];           //   1  STRING(40)
  char EIGADRES[40];          //  41  STRING(40)
  char EIGPCODE[6];           //  81  STRING(6)
  char EIGPLAATS[40];         //  87  STRING(40)
  char EIGTEL[20];            // 127  STRING(20)
  char EIGLAND[9];            // 147  STRING(9)
  uint8_t EIGVOLWASSENEN;     // 156  BYTE
  uint8_t EIGKINDEREN;        // 157  BYTE
  uint8_t EIGHUISDIER;        // 158  BYTE
  uint8_t EIGELECTRA;         // 159  BYTE
  char EIGKAMPEERMIDDEL[11];  // 160  STRING(11)
  uint8_t EIGBIJZETTENTJE;    // 171  BYTE
  uint8_t EIGBIJZETTENTJES;   // 172  BYTE
  char EIGPERIODEVAN[8];      // 173  STRING(8) @D5
  char EIGPERIODETOT[8];      // 181  STRING(8) @D5
  char LAND[10];              // 189  STRING(10)
  char PROVINCIE[15];         // 199  STRING(15)
  char WINTEROPEN[1];         // 214  STRING(1)
  char AANWATER[1];           // 215  STRING(1)
  uint8_t AANWATERKM[3];      // 216  DECIMAL(5,1)
  char AUTOBIJTENT[1];        // 219  STRING(1)
  char CAMPERPLAATS[1];       // 220  STRING(1)
  char JONGEREN[1];           // 221  STRING(1)
  char HUISDIEREN[1];         // 222  STRING(1)
  char BABYKAMER[1];          // 223  STRING(1)
  char SANITAIR[1];           // 224  STRING(1)
  char DROOGTROMMEL[1];       // 225  STRING(1)
  char KOOKGELEGENH[1];       // 226  STRING(1)
  char AFWASWARM[1];          // 227  STRING(1)
  char WINKEL[1];             // 228  STRING(1)
  char KAMPVUUR[1];           // 229  STRING(1)
  char SPEELTOESTEL[1];       // 230  STRING(1)
  char RECREATIE[1];          // 231  STRING(1)
  char SNACKBAR[1];           // 232  STRING(1)
  uint8_t SNACKBARKM[3];      // 233  DECIMAL(5,1)
  char DISCOTHEEK[1];         // 236  STRING(1)
  uint8_t DISCOTHEEKKM[3];    // 237  DECIMAL(5,1)
  char TENNIS[1];             // 240  STRING(1)
  uint8_t TENNISKM[3];        // 241  DECIMAL(5,1)
  char OPENLBAD[1];           // 244  STRING(1)
  uint8_t OPENLBADKM[3];      // 245  DECIMAL(5,1)
  char OVERDBAD[1];           // 248  STRING(1)
  uint8_t OVERDBADKM[3];      // 249  DECIMAL(5,1)
  char NATWATER[1];           // 252  STRING(1)
  uint8_t NATWATERKM[3];      // 253  DECIMAL(5,1)
  char STRAND[1];             // 256  STRING(1)
  uint8_t STRANDKM[3];        // 257  DECIMAL(5,1)
  char VISGELEGENHE[1];       // 260  STRING(1)
  uint8_t VISGELEGENKM[3];    // 261  DECIMAL(5,1)
  char WINDSURF[1];           // 264  STRING(1)
  uint8_t WINDSURFKM[3];      // 265  DECIMAL(5,1)
  char JACHTHAVEN[1];         // 268  STRING(1)
  uint8_t JACHTHAVENKM[3];    // 269  DECIMAL(5,1)
  char SKIPISTE[1];           // 272  STRING(1)
  uint8_t SKIPISTEKM[3];      // 273  DECIMAL(5,1)
  char LANGLAUF[1];           // 276  STRING(1)
  uint8_t LANGLAUFKM[3];      // 277  DECIMAL(5,1)
  char MANEGE[1];             // 280  STRING(1)
  uint8_t MANEGEKM[3];        // 281  DECIMAL(5,1)
  char BOS[1];                // 284  STRING(1)
  uint8_t BOSKM[3];           // 285  DECIMAL(5,1)
  char TREKKERSHUTT[1];       // 288  STRING(1)
  char HUURTOER[1];           // 289  STRING(1)
  char HUURSTACAR[1];         // 290  STRING(1)
  char HUURVAKWON[1];         // 291  STRING(1)
  char HUURGROEP[1];          // 292  STRING(1)
};
static_assert(sizeof(SelectieRecord) == 293);
static_assert(offsetof(SelectieRecord, NUMMER) == 0);
static_assert(offsetof(SelectieRecord, EIGNAAM) == 1);
static_assert(offsetof(SelectieRecord, EIGADRES) == 41);
static_assert(offsetof(SelectieRecord, EIGPCODE) == 81);
static_assert(offsetof(SelectieRecord, EIGPLAATS) == 87);
static_assert(offsetof(SelectieRecord, EIGTEL) == 127);
static_assert(offsetof(SelectieRecord, EIGLAND) == 147);
static_assert(offsetof(SelectieRecord, EIGVOLWASSENEN) == 156);
static_assert(offsetof(SelectieRecord, EIGKINDEREN) == 157);
static_assert(offsetof(SelectieRecord, EIGHUISDIER) == 158);
static_assert(offsetof(SelectieRecord, EIGELECTRA) == 159);
static_assert(offsetof(SelectieRecord, EIGKAMPEERMIDDEL) == 160);
static_assert(offsetof(SelectieRecord, EIGBIJZETTENTJE) == 171);
static_assert(offsetof(SelectieRecord, EIGBIJZETTENTJES) == 172);
static_assert(offsetof(SelectieRecord, EIGPERIODEVAN) == 173);
static_assert(offsetof(SelectieRecord, EIGPERIODETOT) == 181);
static_assert(offsetof(SelectieRecord, LAND) == 189);
static_assert(offsetof(SelectieRecord, PROVINCIE) == 199);
static_assert(offsetof(SelectieRecord, WINTEROPEN) == 214);
static_assert(offsetof(SelectieRecord, AANWATER) == 215);
static_assert(offsetof(SelectieRecord, AANWATERKM) == 216);
static_assert(offsetof(SelectieRecord, AUTOBIJTENT) == 219);
static_assert(offsetof(SelectieRecord, CAMPERPLAATS) == 220);
static_assert(offsetof(SelectieRecord, JONGEREN) == 221);
static_assert(offsetof(SelectieRecord, HUISDIEREN) == 222);
static_assert(offsetof(SelectieRecord, BABYKAMER) == 223);
static_assert(offsetof(SelectieRecord, SANITAIR) == 224);
static_assert(offsetof(SelectieRecord, DROOGTROMMEL) == 225);
static_assert(offsetof(SelectieRecord, KOOKGELEGENH) == 226);
static_assert(offsetof(SelectieRecord, AFWASWARM) == 227);
static_assert(offsetof(SelectieRecord, WINKEL) == 228);
static_assert(offsetof(SelectieRecord, KAMPVUUR) == 229);
static_assert(offsetof(SelectieRecord, SPEELTOESTEL) == 230);
static_assert(offsetof(SelectieRecord, RECREATIE) == 231);
static_assert(offsetof(SelectieRecord, SNACKBAR) == 232);
static_assert(offsetof(SelectieRecord, SNACKBARKM) == 233);
static_assert(offsetof(SelectieRecord, DISCOTHEEK) == 236);
static_assert(offsetof(SelectieRecord, DISCOTHEEKKM) == 237);
static_assert(offsetof(SelectieRecord, TENNIS) == 240);
static_assert(offsetof(SelectieRecord, TENNISKM) == 241);
static_assert(offsetof(SelectieRecord, OPENLBAD) == 244);
static_assert(offsetof(SelectieRecord, OPENLBADKM) == 245);
static_assert(offsetof(SelectieRecord, OVERDBAD) == 248);
static_assert(offsetof(SelectieRecord, OVERDBADKM) == 249);
static_assert(offsetof(SelectieRecord, NATWATER) == 252);
static_assert(offsetof(SelectieRecord, NATWATERKM) == 253);
static_assert(offsetof(SelectieRecord, STRAND) == 256);
static_assert(offsetof(SelectieRecord, STRANDKM) == 257);
static_assert(offsetof(SelectieRecord, VISGELEGENHE) == 260);
static_assert(offsetof(SelectieRecord, VISGELEGENKM) == 261);
static_assert(offsetof(SelectieRecord, WINDSURF) == 264);
static_assert(offsetof(SelectieRecord, WINDSURFKM) == 265);
static_assert(offsetof(SelectieRecord, JACHTHAVEN) == 268);
static_assert(offsetof(SelectieRecord, JACHTHAVENKM) == 269);
static_assert(offsetof(SelectieRecord, SKIPISTE) == 272);
static_assert(offsetof(SelectieRecord, SKIPISTEKM) == 273);
static_assert(offsetof(SelectieRecord, LANGLAUF) == 276);
static_assert(offsetof(SelectieRecord, LANGLAUFKM) == 277);
static_assert(offsetof(SelectieRecord, MANEGE) == 280);
static_assert(offsetof(SelectieRecord, MANEGEKM) == 281);
static_assert(offsetof(SelectieRecord, BOS) == 284);
static_assert(offsetof(SelectieRecord, BOSKM) == 285);
static_assert(offsetof(SelectieRecord, TREKKERSHUTT) == 288);
static_assert(offsetof(SelectieRecord, HUURTOER) == 289);
static_assert(offsetof(SelectieRecord, HUURSTACAR) == 290);
static_assert(offsetof(SelectieRecord, HUURVAKWON) == 291);
static_assert(offsetof(SelectieRecord, HUURGROEP) == 292);

// Gezvonde (prefix GVD): a campsite of the found set of the last search.
struct GezvondeRecord {
  uint8_t NUMMER[3];   //   0  DECIMAL(5,0)
  char NAAMCAMP[25];   //   3  STRING(25)
  char PLAATS[20];     //  28  STRING(20)
  char PROVINCIE[15];  //  48  STRING(15)
  char LAND[10];       //  63  STRING(10)
  char STREEK[20];     //  73  STRING(20)
  char FOTO[1];        //  93  STRING(1)
  char INFO[1];        //  94  STRING(1)
  char ADVER[1];       //  95  STRING(1)
};
static_assert(sizeof(GezvondeRecord) == 96);
static_assert(offsetof(GezvondeRecord, NUMMER) == 0);
static_assert(offsetof(GezvondeRecord, NAAMCAMP) == 3);
static_assert(offsetof(GezvondeRecord, PLAATS) == 28);
static_assert(offsetof(GezvondeRecord, PROVINCIE) == 48);
static_assert(offsetof(GezvondeRecord, LAND) == 63);
static_assert(offsetof(GezvondeRecord, STREEK) == 73);
static_assert(offsetof(GezvondeRecord, FOTO) == 93);
static_assert(offsetof(GezvondeRecord, INFO) == 94);
static_assert(offsetof(GezvondeRecord, ADVER) == 95);

// GEZFOTO (prefix GFOT): a campsite's photo, logo and advertisement picture names.
struct GEZFOTORecord {
  uint8_t NUMMER[3];    //   0  DECIMAL(5,0)
  char FOTO1[6];        //   3  STRING(6)
  char FOTO2[6];        //   9  STRING(6)
  uint8_t AANTALFOTOS;  //  15  BYTE
  char LOGO[6];         //  16  STRING(6)
  char ADVER[6];        //  22  STRING(6)
};
static_assert(sizeof(GEZFOTORecord) == 28);
static_assert(offsetof(GEZFOTORecord, NUMMER) == 0);
static_assert(offsetof(GEZFOTORecord, FOTO1) == 3);
static_assert(offsetof(GEZFOTORecord, FOTO2) == 9);
static_assert(offsetof(GEZFOTORecord, AANTALFOTOS) == 15);
static_assert(offsetof(GEZFOTORecord, LOGO) == 16);
static_assert(offsetof(GEZFOTORecord, ADVER) == 22);

// TagFile (prefix TAG): a campsite the user marked.
struct TagFileRecord {
  uint8_t NUMMER[4];  //   0  DECIMAL(7,2)
  char NAAMCAMP[25];  //   4  STRING(25)
  char FOTO[1];       //  29  STRING(1)
  char INFO[1];       //  30  STRING(1)
  char ADVER[1];      //  31  STRING(1)
};
static_assert(sizeof(TagFileRecord) == 32);
static_assert(offsetof(TagFileRecord, NUMMER) == 0);
static_assert(offsetof(TagFileRecord, NAAMCAMP) == 4);
static_assert(offsetof(TagFileRecord, FOTO) == 29);
static_assert(offsetof(TagFileRecord, INFO) == 30);
static_assert(offsetof(TagFileRecord, ADVER) == 31);
// Stores text into a STRING field: cut to the field's length, blank-padded.
template <size_t N>
void Assign(char (&field)[N], std::string_view text) {
  size_t length = std::min(N, text.size());
  std::copy_n(text.data(), length, field);
  std::fill(field + length, field + N, ' ');
}

// The text of a STRING field without its trailing blanks.
template <size_t N>
std::string_view Text(const char (&field)[N]) {
  return framework::TrimTrailingBlanks(std::string_view(field, N));
}

// The record buffer of each file, named by its prefix: the single place
// where the file's current record lives, shared by every procedure.
inline GezNAWRecord GNAW{};
inline GezFACRecord GFAC{};
inline GezSELRecord GSEL{};
inline GezINFORecord GINF{};
inline PROVINCIRecord PRO{};
inline GezPRIJZRecord GPRI{};
inline SelectieRecord SEL{};
inline GezvondeRecord GVD{};
inline GEZFOTORecord GFOT{};
inline TagFileRecord TAG{};

}  // namespace tentaria::guide

#endif  // TENTARIA_GUIDE_RECORDS_H_
