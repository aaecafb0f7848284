#include "worksheet/Fmain.h"

#include <array>
#include <string>

#include "platform/Exceptions.h"
#include "worksheet/CatalogueGenerator.h"
#include "worksheet/Random.h"

namespace tess {
namespace designs {
std::string_view Fmain();  // the stored design, compiled in (cmake/EmbedDesign.cmake)
}

namespace {

struct TextPair {
  const char* line1;
  const char* line2;
};

// By operation, then figure size. The first line is cut at 62 bytes (31 full-width characters) and the
// sentence goes on in the second.
constexpr std::array<std::array<TextPair, 4>, 2> kInstructionTexts{{
    {{
        {"１～７の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～９の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～１１の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
         "角形の中の指定された数になるように入れなさい。"},
        {"１～１３の数を１回ずつ使って、四角形の頂点の合計がそれぞれの四",
         "角形の中の指定された数になるように入れなさい。"},
    }},
    {{
        {"１～７の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
         "の中の指定された数になるように入れなさい。"},
        {"１～９の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角形",
         "の中の指定された数になるように入れなさい。"},
        {"１～１１の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
        {"１～１３の数を１回ずつ使って、四角形の頂点の積がそれぞれの四角",
         "形の中の指定された数になるように入れなさい。"},
    }},
}};

}  // namespace

std::optional<std::pair<Cp932String, Cp932String>> InstructionTexts(int operation, int sizeIndex) {
  if (operation < 0 || operation > 1 || sizeIndex < 0 || sizeIndex > 3) return std::nullopt;
  const TextPair& pair =
      kInstructionTexts[static_cast<std::size_t>(operation)][static_cast<std::size_t>(sizeIndex)];
  return std::make_pair(Cp932String::FromUtf8(pair.line1), Cp932String::FromUtf8(pair.line2));
}

template <class T>
T* TForm1::Bind(const char* name) {
  T* component = dynamic_cast<T*>(FindComponent(name));
  if (component == nullptr) {
    ReportDesignProblem(std::string(name) + ": missing from the stored design or of another class");
  }
  return component;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  SetName("Form1");
  RegisterComponentClass<TCStringList>();
  PublishMethod<TNotifyEvent>("FormCreate", [this](TComponent* s) { FormCreate(s); });
  PublishMethod<TNotifyEvent>("SquareNumsClick", [this](TComponent* s) { SquareNumsClick(s); });
  PublishMethod<TNotifyEvent>("rgOpeClick", [this](TComponent* s) { rgOpeClick(s); });
  ReadDesign(designs::Fmain());

  SquareNums = Bind<TRadioGroup>("SquareNums");
  LevelType = Bind<TRadioGroup>("LevelType");
  BitBtn1 = Bind<TBitBtn>("BitBtn1");
  btnPreview = Bind<TButton>("btnPreview");
  Square3 = Bind<TCStringList>("Square3");
  Square4 = Bind<TCStringList>("Square4");
  Square5 = Bind<TCStringList>("Square5");
  Square6 = Bind<TCStringList>("Square6");
  Bevel1 = Bind<TBevel>("Bevel1");
  Label1 = Bind<TLabel>("Label1");
  edtQuestMes1 = Bind<TEdit>("edtQuestMes1");
  Label2 = Bind<TLabel>("Label2");
  edtQuestMes2 = Bind<TEdit>("edtQuestMes2");
  Label3 = Bind<TLabel>("Label3");
  edtPrintNum = Bind<TEdit>("edtPrintNum");
  rgDate = Bind<TRadioGroup>("rgDate");
  rgOpe = Bind<TRadioGroup>("rgOpe");
  // A form without its controls would fail at the first click; it is an error of the program instead.
  if (!DesignReport().Clean()) {
    for (const std::string& problem : DesignReport().problems) {
      if (problem.find("missing from the stored design") != std::string::npos) {
        throw EReadError(Cp932String::FromBytes("Form1: " + problem));
      }
    }
  }

  // The catalogues are generated rather than stored: a design that carries no lines gets them here, so
  // every catalogue holds its lines before FormCreate runs.
  int n = 3;
  for (TCStringList* square : {Square3, Square4, Square5, Square6}) {
    if (square->Strings().Count() == 0) {
      TStringList lines;
      FillCatalogue(lines, n);
      square->SetStrings(&lines);
    }
    ++n;
  }
  DoCreate();
}

void TForm1::FormCreate(TComponent* /*Sender*/) {
  Randomize();
  // A4 paper (code 9) on plSetPrinter1 through SetPaperSizeChecked joins here with the printer-settings
  // component; its result is not used.
  auto texts = InstructionTexts(0, 0);
  edtQuestMes1->SetText(texts->first);
  edtQuestMes2->SetText(texts->second);
}

void TForm1::SquareNumsClick(TComponent* /*Sender*/) {
  auto texts = InstructionTexts(rgOpe->ItemIndex(), SquareNums->ItemIndex());
  if (!texts) return;
  edtQuestMes1->SetText(texts->first);
  edtQuestMes2->SetText(texts->second);
}

void TForm1::rgOpeClick(TComponent* Sender) {
  SquareNumsClick(Sender);
}

}  // namespace tess
