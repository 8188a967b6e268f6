"""What Report.check() finds: failures and warnings, each tied to what it is about."""

import dataclasses
from typing import Optional

from ._errors import DefinitionError

_UNSPECIFIED = 0x80004005 - (1 << 32)


@dataclasses.dataclass(frozen=True)
class Finding:
    """A failure or a warning of a report, as `talvane check` shows it.

    subject: "main_table", "main_field", "formula", "field" or "statement".
    formula, field: the index (from 0) in report.formulas or report.fields of what it is about, else None.
    text: that formula's text, field reference, main table or field, or the statement.
    position: the byte offset in `text` of the item concerned, and `item` that item; None when there is none.
    number, source: the library's error number and source when it raised one (None and "" otherwise).
    description: what is wrong, one sentence.
    setting, setting_value: the setting that failed when it is not the text ("name", "aggregate", ...).
    """

    subject: str
    formula: Optional[int]
    field: Optional[int]
    text: str
    position: Optional[int]
    item: Optional[str]
    number: Optional[int]
    source: str
    description: str
    setting: Optional[str] = None
    setting_value: Optional[str] = None

    def __str__(self):
        if self.formula is not None:
            return f"formulas[{self.formula}]: {self.description}"
        if self.field is not None:
            return f"fields[{self.field}]: {self.description}"
        return f"{self.subject.replace('_', ' ')}: {self.description}"


@dataclasses.dataclass(frozen=True)
class CheckResult:
    """The failures (the statement cannot be built or run) and warnings (it probably does not mean what it
    says) of a report, each list in the order of the report."""

    failures: list
    warnings: list

    @property
    def ok(self):
        """True when nothing failed."""
        return not self.failures


def _definition_error(source, failures):
    """The DefinitionError of a definition that applies with failures: the first one's number, source,
    position and item, and every failure in `failures`."""
    first = failures[0]
    more = f" (and {len(failures) - 1} more)" if len(failures) > 1 else ""
    error = DefinitionError(_UNSPECIFIED if first.number is None else first.number, first.source or "Definition",
                            f"{source}: {first}{more}", first.position, first.item)
    error.failures = failures
    return error
