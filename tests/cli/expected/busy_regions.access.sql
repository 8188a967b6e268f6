SELECT [Regions].[RegionID] AS [RegionID], [Regions].[RegionName] AS [Region] 
FROM 
(	[Regions] 
	LEFT JOIN 
	[Customers] 
	ON [Regions].[RegionID] = [Customers].[RegionID]) 
GROUP BY 
	[Regions].[RegionID], [Regions].[RegionName]
HAVING 
	COUNT(IIF(ISNULL([Customers].[CustomerID]), 0, [Customers].[CustomerID])) > 12 AND SUM(IIF(ISNULL([Customers].[Balance]), 0, [Customers].[Balance])) > 25000
ORDER BY [Regions].[RegionName] ASC
