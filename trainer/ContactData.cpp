#include "trainer/ContactData.h"

namespace vantrel::contact_data {

std::span<const std::string_view> QSOs() {
    static constexpr std::string_view kLines[] = {
        "\\A DE \\B \\G TNX FR CALL = UR RST \\S \\S OP IS \\N \\N QTH IS \\Q RIG IS \\R AT \\P "
        "WATTS ANT IS \\Z = \\V = OK? \\A DE \\B + *",
        "\\A DE \\B \\G TKS FR CALL = UR RST \\S = NAME \\N ES QTH \\Q = RIG \\R ANT \\Z OK? \\A "
        "DE \\B + *",
        "\\A DE \\B \\G TU OM ES TNX FR CALL UR RST \\S ANT IS \\Z  NAME \\N = QTH \\Q  RIG \\R "
        "PWR \\P W = \\V = HW COPY? \\A DE \\B + *",
        "\\A DE \\B \\G TKS FR CALL OM. UR RST \\S ANT IS \\Z. WEATHER HERE IS \\W. RIG \\R "
        "RUNNING \\P WATTS. QTH IS \\Q ES NAME \\N. \\V. HW COPY? \\A DE \\B + #",
        "\\A DE \\B \\G TNX FR CALL = OP IS \\N UR RST \\S \\S QTH IS \\Q RIG IS \\R ANT IS \\Z "
        "OK? \\A DE \\B + *",
        "\\A \\A DE \\B \\B FB OM UR RST IS \\S \\S IN QTH \\Q. OP NAME IS \\N \\N. RIG HERE IS "
        "\\R PWR \\P WATTS. ANT IS \\Z. \\V. SO HW CPY? \\A \\A DE \\B \\B + *",
        "\\A DE \\B \\G TKS FR CALL = UR RST \\S \\S ES QSB NAME IS \\N QTH IS \\Q RIG IS \\R ANT "
        "IS \\Z OK? \\A DE \\B + #",
        "\\A DE \\B TKS FR CALL = NAME IS \\N \\N ES QTH \\Q = UR RST \\S \\S = RIG IS \\R WITH "
        "\\P WATTS OUT TO A \\Z = BTU \\A DE \\B + #",
    };
    return kLines;
}

std::span<const std::string_view> Prefixes() {
    static constexpr std::string_view kLines[] = {
        "G    MANCHESTER;BIRMINGHAM;NORTH LONDON;SOUTH LONDON;LIVERPOOL;LEEDS;",
        "G    BRISTOL;PLYMOUTH;EXETER;BATH;SWINDON;",
        "G    NOTTINGHAM;LEICESTER;DERBY;COVENTRY;",
        "G    NEWCASTLE;SUNDERLAND;YORK;DURHAM;",
        "G    CAMBRIDGE;NORWICH;IPSWICH;PETERBOROUGH;",
        "G    BRIGHTON;SOUTHAMPTON;PORTSMOUTH;OXFORD;READING;",
        "GM   EDINBURGH;GLASGOW;ABERDEEN;DUNDEE;INVERNESS;",
        "GW   CARDIFF;SWANSEA;NEWPORT;WREXHAM;BANGOR;",
        "GD   DOUGLAS;RAMSEY;PEEL;",
        "GI   BELFAST;LONDONDERRY;ARMAGH;NEWRY;",
        "GU   ST PETER PORT;",
        "GJ   ST HELIER;",
        "F    PARIS;LYON;MARSEILLE;BORDEAUX;LILLE;",
        "F    TOULOUSE;NANTES;STRASBOURG;NICE;RENNES;",
        "EA   MADRID;BARCELONA;VALENCIA;ZARAGOZA;",
        "EA   SEVILLA;MALAGA;BILBAO;SALAMANCA;",
        "EA6  PALMA;IBIZA;MAHON;",
        "ZB2  GIBRALTAR;",
        "ZD8  GEORGETOWN;",
        "ZD7  JAMESTOWN;",
        "ZD9  EDINBURGH OF THE SEVEN SEAS;",
        "DL   BERLIN;HAMBURG;MUNICH;COLOGNE;FRANKFURT;",
        "DK   STUTTGART;DRESDEN;LEIPZIG;HANOVER;BREMEN;",
        "HB9  ZURICH;GENEVA;BASEL;BERN;LAUSANNE;",
        "ON   BRUSSELS;ANTWERP;GHENT;LIEGE;BRUGES;",
        "PA   AMSTERDAM;ROTTERDAM;THE HAGUE;UTRECHT;EINDHOVEN;",
        "OZ   COPENHAGEN;AARHUS;ODENSE;AALBORG;",
        "LA   OSLO;BERGEN;TRONDHEIM;STAVANGER;TROMSO;",
        "SM   STOCKHOLM;GOTHENBURG;MALMO;UPPSALA;",
        "CT1  LISBON;PORTO;COIMBRA;FARO;",
        "CN   RABAT;CASABLANCA;FES;MARRAKESH;TANGIER;",
        "7X   ALGIERS;ORAN;CONSTANTINE;ANNABA;",
        "OH   HELSINKI;TAMPERE;TURKU;OULU;",
        "OK   PRAGUE;BRNO;OSTRAVA;PLZEN;",
        "OE   VIENNA;GRAZ;LINZ;SALZBURG;INNSBRUCK;",
        "HA   BUDAPEST;DEBRECEN;SZEGED;PECS;",
        "UA   MOSCOW;ST PETERSBURG;TVER;YAROSLAVL;",
        "UA   NIZHNY NOVGOROD;KAZAN;SAMARA;VOLGOGRAD;",
        "UA   NOVOSIBIRSK;OMSK;TOMSK;IRKUTSK;",
        "UR   KYIV;KHARKIV;ODESA;LVIV;DNIPRO;",
        "EW   MINSK;GOMEL;MOGILEV;VITEBSK;BREST;",
        "LY   VILNIUS;KAUNAS;KLAIPEDA;",
        "YL   RIGA;",
        "ES   TALLINN;TARTU;PARNU;",
        "UP   SIAULIAI;PANEVEZYS;ALYTUS;",
        "I    ROME;MILAN;TURIN;GENOA;BOLOGNA;",
        "I    NAPLES;FLORENCE;VENICE;BARI;PALERMO;",
        "IS0  CAGLIARI;SASSARI;OLBIA;",
        "TF   REYKJAVIK;AKUREYRI;",
        "EI   DUBLIN;CORK;GALWAY;LIMERICK;",
        "ZS   JOHANNESBURG;CAPE TOWN;DURBAN;PRETORIA;",
        "VK1  CANBERRA",
        "VK2  SYDNEY;NEWCASTLE;WOLLONGONG;",
        "VK3  MELBOURNE;GEELONG;BALLARAT;",
        "VK4  BRISBANE;CAIRNS;TOWNSVILLE;",
        "VK5  ADELAIDE;",
        "VK6  PERTH;BUNBURY;",
        "VK7  HOBART;LAUNCESTON;",
        "ZL   AUCKLAND;WELLINGTON;CHRISTCHURCH;DUNEDIN;",
        "JA   TOKYO;OSAKA;KYOTO;NAGOYA;SAPPORO;",
        "KL7  ANCHORAGE;FAIRBANKS;JUNEAU;",
        "VE3  TORONTO;OTTAWA;HAMILTON;",
        "VE2  MONTREAL;QUEBEC;SHERBROOKE;",
        "VE7  VANCOUVER;VICTORIA;KELOWNA;",
        "W0   DENVER;KANSAS CITY;",
        "K0   MINNEAPOLIS;DES MOINES;",
        "N0   OMAHA;ST LOUIS;",
        "W1   BOSTON;HARTFORD;",
        "K1   PROVIDENCE;PORTLAND MAINE;",
        "N1   BURLINGTON;CONCORD;",
        "W2   NEW YORK;BUFFALO;",
        "K2   NEWARK;TRENTON;",
        "N2   ALBANY;ROCHESTER;",
        "W3   PHILADELPHIA;PITTSBURGH;",
        "K3   BALTIMORE;WASHINGTON;",
        "N3   WILMINGTON;HARRISBURG;",
        "W4   ATLANTA;MIAMI;",
        "K4   NASHVILLE;CHARLOTTE;",
        "N4   RICHMOND;LOUISVILLE;",
        "W5   DALLAS;HOUSTON;",
        "N5   NEW ORLEANS;ALBUQUERQUE;",
        "K5   OKLAHOMA CITY;LITTLE ROCK;",
        "W6   LOS ANGELES;SAN FRANCISCO;",
        "K6   SAN DIEGO;SACRAMENTO;",
        "N6   SAN JOSE;FRESNO;",
        "W7   SEATTLE;PHOENIX;",
        "K7   PORTLAND;SALT LAKE CITY;",
        "W8   DETROIT;CLEVELAND;",
        "K8   COLUMBUS;CHARLESTON;",
        "N8   CINCINNATI;GRAND RAPIDS;",
        "W9   CHICAGO;INDIANAPOLIS;",
        "K9   MILWAUKEE;MADISON;",
        "N9   SPRINGFIELD;FORT WAYNE;",
        "PY   RIO DE JANEIRO;SAO PAULO;BRASILIA;SALVADOR;",
        "LU   BUENOS AIRES;CORDOBA;ROSARIO;MENDOZA;",
        "VU   NEW DELHI;MUMBAI;BANGALORE;CHENNAI;KOLKATA;",
        "SP   WARSAW;KRAKOW;GDANSK;WROCLAW;POZNAN;",
        "YO   BUCHAREST;CLUJ;TIMISOARA;IASI;CONSTANTA;",
        "LZ   SOFIA;PLOVDIV;VARNA;BURGAS;",
        "SV   ATHENS;VOLOS;THESSALONIKI;KAVALA;PATRAI;",
    };
    return kLines;
}

std::span<const std::string_view> Antennas() {
    static constexpr std::string_view kLines[] = {
        "DIPOLE",
        "VERTICAL",
        "BEAM",
        "G5RV",
        "LONG WIRE",
        "TRAPPED DIPOLE",
        "INVERTED V",
        "HF6V VERTICAL",
        "GROUND PLANE",
        "MINIBEAM",
        "QUAD",
        "ZEPP",
        "HYGAIN VERTICAL",
        "END FED ZEPP",
        "HALF SIZE G5RV",
        "2 ELE BEAM",
        "3 ELE BEAM",
        "CUBICAL QUAD",
        "MAGNETIC LOOP",
        "DIPOLE IN THE LOFT",
        "30M LONG WIRE",
        "2 ELE TRIBANDER",
        "3 ELE TRIBANDER",
        "2 ELE TRIBANDER AT 15M AGL",
        "3 ELE TRIBANDER AT 10M",
    };
    return kLines;
}

std::span<const std::string_view> Rigs() {
    static constexpr std::string_view kLines[] = {
        "YAESU FT101",    "YAESU FT101ZD",  "YAESU FT102",    "YAESU FT1",     "YAESU FT1000D",
        "YAESU FT200",    "YAESU FT301D",   "YAESU FT7B",     "YAESU FT707",   "YAESU FT747",
        "YAESU FT757GX",  "YAESU FT847GX",  "YAESU FT900AT",  "YAESU FT920",   "YAESU FT840",
        "YAESU FT902DM",  "YAESU FT1000MP", "COLLINS KWM2",   "KENWOOD TS520", "KENWOOD TS530",
        "KENWOOD TS820",  "KENWOOD TS830",  "KENWOOD TS870S", "KW202",         "KW2000A",
        "HEATHKIT SB101", "ICOM 737",       "ICOM IC-746",    "ICOM IC756",    "ICOM IC760",
        "ICOM IC765",     "ICOM IC775DSP",  "TEN TEC OMNI V", "DRAKE T4C",     "DRAKE TR7A",
        "HOMEBREW",       "ALINCO DX77",    "ALINCO DX70T",
    };
    return kLines;
}

std::span<const std::string_view> Names() {
    static constexpr std::string_view kLines[] = {
        "TONY",   "JIM",    "HARRY", "CHAS",  "IVOR",  "BILL", "PETER", "PETE",
        "JOE",    "JULIAN", "FRED",  "HENRY", "CHUCK", "DAVE", "DAVID", "TED",
        "EDWARD", "JOHN",   "STEVE", "WILL",  "RICK",  "PAUL", "TERRY", "CHAS",
        "JILL",   "SUSAN",  "KEVIN", "PHIL",  "ANDY",  "IAN",  "KARL",  "ADRIAN",
    };
    return kLines;
}

std::span<const std::string_view> Weather() {
    static constexpr std::string_view kLines[] = {
        "SUNNY ES WARM",
        "SUNNY",
        "HOT",
        "CLOUDY",
        "CLOUDY WITH DRIZZLE",
        "WINDY",
        "HOT AND HUMID",
        "WARM",
        "NOT VERY WARM",
        "COOLER THAN YESTERDAY",
        "COLD",
        "RAINING",
        "THUNDERSTORMS",
        "FREEZING COLD",
        "SNOWING",
        "BLOWING A GALE",
        "BREEZY BUT FINE",
        "FINE AND WARM",
        "WARM AND SUNNY",
        "WET AND WINDY",
        "HEAVY RAIN",
    };
    return kLines;
}

std::span<const std::string_view> Chat() {
    static constexpr std::string_view kLines[] = {
        "STRONG QRM ON THE FREQUENCY AT THE MOMENT",
        "NICE TO WORK U FOR THE FIRST TIME",
        "THIS IS A NEW ANTENNA AND I WOULD APPRECIATE A REPORT",
        "WX HERE IS \\W",
        "I THINK THE BAND IS CLOSING SO HOPE U STILL COPY",
        "PSE QSL VIA THE BURO",
        "I DONT OFTEN WORK THIS BAND BUT CONDITIONS SEEM GOOD AT THE MOMENT",
        "CONDITIONS ARE NOT AS GOOD AS YESTERDAY",
        "CONDITIONS ARE VERY GOOD TODAY",
        "THERE IS DEEP QSB ON UR SIGNAL",
        "I MUST CUT THIS SHORT AS I AM WANTED ON THE PHONE",
        "I HAVE TO GO TO WORK SO MUST QRT NOW",
        "I AM WANTED DOWNSTAIRS SO MUST CLOSE",
        "YOU ARE MY THIRD CONTACT TODAY WITH YOUR COUNTRY",
        "PSE SEND MORE SLOWLY MY CW IS NOT VERY GOOD",
        "I AM INTERESTED TO KNOW WHAT ANTENNA YOU ARE USING",
        "I AM INTERESTED TO KNOW WHAT POWER YOU ARE RUNNING",
        "PSE TELL ME WHAT ANTENNA YOU ARE USING",
        "PSE TELL ME UR NAME AGN",
        "PSE REPEAT UR NAME",
        "PSE REPEAT UR QTH",
        "BECAUSE OF QRM I MISSED UR NAME, PSE REPEAT",
        "MY SON WHO HAS JUST GOT HIS HAM LICENSE WOULD ALSO LIKE TO WORK YOU",
        "MY QSL MANAGER IS \\C",
        "PSE QSL VIA \\C",
        "PSE CONFIRM UR QSL MANAGER IS \\C",
        "OTHER INTERESTS HERE INCLUDE PLAYING THE GUITAR AND HANG GLIDING",
        "MY OTHER HOBBIES ARE MOUNTAINEERING AND GARDENING",
        "THE WEATHER TODAY IS \\W",
        "THE SUN IS BREAKING THROUGH NOW SO I MUST QSY TO THE GARDEN",
        "MY XYL WANTS ME TO TAKE HER TO THE SHOPS SO MUST QRT SHORTLY",
        "I AM ALWAYS PLEASED TO WORK SOMEONE FROM UR COUNTRY",
    };
    return kLines;
}

}  // namespace vantrel::contact_data

namespace vantrel {
namespace {

TStringHolder Holder(std::span<const std::string_view> lines) {
    TStringHolder holder;
    holder.SetStrings(std::vector<std::string>(lines.begin(), lines.end()));
    return holder;
}

}  // namespace

ContactTexts::ContactTexts()
    : QSOs(Holder(contact_data::QSOs())),
      Prefixes(Holder(contact_data::Prefixes())),
      Antennas(Holder(contact_data::Antennas())),
      Rigs(Holder(contact_data::Rigs())),
      Names(Holder(contact_data::Names())),
      Weather(Holder(contact_data::Weather())),
      Chat(Holder(contact_data::Chat())) {}

}  // namespace vantrel
