"""The exceptions the talvane package raises."""


class Error(Exception):
    """An error of the report objects or the database.

    number: the error number (object errors such as 0x80040006 are negative as signed 32-bit numbers;
    ``error.number & 0xFFFFFFFF`` gives the unsigned value).
    source: the member that raised it, e.g. "ModOmbrel ParseItem".
    description: the source, a carriage return, then the message.
    position, item: for a formula's text, the byte position and the item where it failed; None otherwise.
    """

    def __init__(self, number, source, description, position=None, item=None):
        super().__init__(number, source, description, position, item)
        self.number = number
        self.source = source
        self.description = description
        self.position = position
        self.item = item

    @property
    def message(self):
        """The description without its source."""
        return self.description.split("\r", 1)[-1]

    def __str__(self):
        text = f"error 0x{self.number & 0xFFFFFFFF:08X} ({self.source}): {self.message}"
        if self.position is not None:
            text += f" at position {self.position} ({self.item!r})"
        return text


class DefinitionError(Error, ValueError):
    """A report definition that cannot be read: its message is one line naming the definition and what is wrong."""
