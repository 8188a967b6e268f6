SELECT [Regions].[RegionID] AS [RegionID], [Regions].[RegionName] AS [Region] 
FROM 
	[Regions] 
	FULL JOIN 
	[Customers] 
	ON [Regions].[RegionID] = [Customers].[RegionID] 
GROUP BY 
	[Regions].[RegionID], [Regions].[RegionName]
HAVING 
	COUNT(ISNULL([Customers].[CustomerID], 0)) > 12 AND SUM(ISNULL([Customers].[Balance], 0)) > 25000
ORDER BY [Regions].[RegionName] ASC
