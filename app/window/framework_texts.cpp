#include "app/window/framework_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace tarvo::window {

namespace {

struct TextPair {
  const char* english;
  const char* japanese;
};

// The framework's texts as a Japanese system shows them.
constexpr TextPair kJapanese[] = {
    {"Please enter an integer between %1 and %2.", "%1 から %2 までの整数を入力してください。"},
    {"Please enter a number between %1 and %2.", "%1 から %2 までの数字を入力してください。"},
    {"Please enter an integer.", "整数を入力してください。"},
    {"Please enter a number.", "数値を入力してください。"},
    {"That is %1 to %2.", "（%1 から %2 まで）"},
    {"File(&F)", "ﾌｧｲﾙ(&F)"},
    {"View(&V)", "表示(&V)"},
    {"Help(&H)", "ﾍﾙﾌﾟ(&H)"},
    {"New(&N)", "新規作成(&N)"},
    {"Open(&O)...", "開く(&O)..."},
    {"Save(&S)", "上書き保存(&S)"},
    {"Save As(&A)...", "名前を付けて保存(&A)..."},
    {"Print(&P)...", "印刷(&P)..."},
    {"Print Setup(&R)...", "ﾌﾟﾘﾝﾀの設定(&R)..."},
    {"Recent File", "最近使ったﾌｧｲﾙ"},
    {"Exit(&X)", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"},
    {"About Tarvowin(&A)...", "Tarvowin のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {"Toolbar(&T)", "ﾂｰﾙ ﾊﾞｰ(&T)"},
    {"Status Bar(&S)", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"},
};

class JapaneseFrameworkTranslator : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (context == nullptr || sourceText == nullptr || std::strcmp(context, kFrameworkContext) != 0)
      return {};
    for (const TextPair& p : kJapanese)
      if (std::strcmp(p.english, sourceText) == 0) return QString::fromUtf8(p.japanese);
    return {};
  }
};

}  // namespace

QString frameworkText(const char* english) {
  return QCoreApplication::translate(kFrameworkContext, english);
}

int installTranslations(QCoreApplication& app, const QLocale& locale) {
  int installed = 0;
  if (locale.language() == QLocale::Japanese) {
    app.installTranslator(new JapaneseFrameworkTranslator(&app));
    ++installed;
  }
  auto* qt = new QTranslator(&app);
  if (qt->load(locale, QStringLiteral("qt"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(qt);
    ++installed;
  } else {
    delete qt;
  }
  return installed;
}

}  // namespace tarvo::window
