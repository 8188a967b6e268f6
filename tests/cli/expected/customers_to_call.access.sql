SELECT [Customers].[CustomerID] AS [CustomerID], [Customers].[CustomerName] AS [Customer], [ToCall].[OrderID], [ToCall].[Amount], [ToCall].[Status], [ToCall].[OrderDate] 
FROM 
(	[Customers] 
	INNER JOIN 
	(
		SELECT 
			[Orders].[OrderID] AS [OrderID], 
			[Orders].[Amount] AS [Amount], 
			[Orders].[Status] AS [Status], 
			[Orders].[OrderDate] AS [OrderDate], 
			[Orders].[CustomerID]
		FROM 
			([Orders])
		WHERE 
			IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 3000 AND [Orders].[Rush] = False OR [Orders].[Status] = 'Held'
	) AS [ToCall]
	ON [Customers].[CustomerID] = [ToCall].[CustomerID]) 
WHERE 
	[Customers].[Active] = True
ORDER BY [Customers].[CustomerID] ASC, [ToCall].[OrderID] ASC
