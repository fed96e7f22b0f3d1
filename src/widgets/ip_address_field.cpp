#include "widgets/ip_address_field.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <algorithm>

namespace vossik {
namespace {

constexpr int kOctetDigits = 3;

// Up to three digits worth at most 255, leading zeros allowed, so that "25"
// can still grow to "255" but not to "256".
const QRegularExpression& OctetPattern() {
  static const QRegularExpression kPattern(
      QStringLiteral("(25[0-5]|2[0-4][0-9]|[01]?[0-9]{1,2})?"));
  return kPattern;
}

}  // namespace

IpAddressField::IpAddressField(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("ipAddressField"));
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 0);
  layout->setSpacing(0);
  auto* validator = new QRegularExpressionValidator(OctetPattern(), this);
  for (std::size_t i = 0; i < octets_.size(); ++i) {
    if (i > 0) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setBackgroundRole(QPalette::Base);
      layout->addWidget(dot);
    }
    auto* octet = new QLineEdit(this);
    octet->setObjectName(QStringLiteral("octet%1").arg(i));
    octet->setFrame(false);
    octet->setAlignment(Qt::AlignCenter);
    octet->setMaxLength(kOctetDigits);
    octet->setValidator(validator);
    octet->installEventFilter(this);
    connect(octet, &QLineEdit::textChanged, this, [this] { emit TextChanged(Text()); });
    // A full box hands the next digit to the following one, as typing
    // an address straight through expects.
    connect(octet, &QLineEdit::textEdited, this, [this, i](const QString& value) {
      if (value.size() == kOctetDigits && i + 1 < octets_.size()) {
        FocusOctet(static_cast<int>(i) + 1, true);
      }
    });
    layout->addWidget(octet, 1);
    octets_[i] = octet;
  }
  setFocusProxy(octets_[0]);
}

QString IpAddressField::Text() const {
  if (IsBlank()) return QString();
  QStringList parts;
  for (const QLineEdit* octet : octets_) parts << QString::number(octet->text().toInt());
  return parts.join(QLatin1Char('.'));
}

bool IpAddressField::SetText(const QString& address) {
  const QStringList parts = address.trimmed().split(QLatin1Char('.'));
  bool valid = parts.size() == static_cast<int>(octets_.size());
  std::array<int, 4> values{};
  for (int i = 0; valid && i < parts.size(); ++i) {
    bool number = false;
    const QString& part = parts[i];
    values[static_cast<std::size_t>(i)] = part.toInt(&number);
    valid = number && !part.isEmpty() && part.size() <= kOctetDigits &&
            std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); }) &&
            values[static_cast<std::size_t>(i)] <= 255;
  }
  for (std::size_t i = 0; i < octets_.size(); ++i) {
    octets_[i]->setText(valid ? QString::number(values[i]) : QString());
  }
  return valid;
}

void IpAddressField::clear() {
  for (QLineEdit* octet : octets_) octet->clear();
}

bool IpAddressField::IsBlank() const {
  return std::all_of(octets_.begin(), octets_.end(),
                     [](const QLineEdit* octet) { return octet->text().isEmpty(); });
}

void IpAddressField::FocusOctet(int index, bool select_all) {
  QLineEdit* octet = octets_[static_cast<std::size_t>(index)];
  octet->setFocus(Qt::OtherFocusReason);
  if (select_all) octet->selectAll();
}

int IpAddressField::IndexOf(QObject* object) const {
  for (std::size_t i = 0; i < octets_.size(); ++i) {
    if (octets_[i] == object) return static_cast<int>(i);
  }
  return -1;
}

bool IpAddressField::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index < 0 || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const QLineEdit* octet = octets_[static_cast<std::size_t>(index)];
  const int last = static_cast<int>(octets_.size()) - 1;
  switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
      if (index < last && !octet->text().isEmpty()) FocusOctet(index + 1, true);
      return true;
    case Qt::Key_Backspace:
      if (index > 0 && octet->cursorPosition() == 0 && !octet->hasSelectedText()) {
        FocusOctet(index - 1, false);
        octets_[static_cast<std::size_t>(index - 1)]->end(false);
        return true;
      }
      break;
    case Qt::Key_Left:
      if (index > 0 && octet->cursorPosition() == 0 && key->modifiers() == Qt::NoModifier) {
        FocusOctet(index - 1, false);
        octets_[static_cast<std::size_t>(index - 1)]->end(false);
        return true;
      }
      break;
    case Qt::Key_Right:
      if (index < last && octet->cursorPosition() == octet->text().size() &&
          key->modifiers() == Qt::NoModifier) {
        FocusOctet(index + 1, false);
        octets_[static_cast<std::size_t>(index + 1)]->home(false);
        return true;
      }
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace vossik
