"""The rows a report returns."""


class Rows(list):
    """The rows of a report's statement: a list of tuples, one value a column (int, float, str, bytes or None),
    with the output names of the columns in ``column_names``."""

    def __init__(self, rows, column_names):
        super().__init__(rows)
        self.column_names = tuple(column_names)

    def as_dicts(self):
        """The rows as dicts keyed by column name."""
        return [dict(zip(self.column_names, row)) for row in self]
